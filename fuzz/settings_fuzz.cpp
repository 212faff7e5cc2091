// A settings file with any content: reading it must give bounded paths, a usable
// filter list, fonts and flags within their ranges, and writing it back must not fault.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string>

#include "common/paths.h"
#include "merge/document.h"
#include "tests/support/fuzz_ui.h"
#include "ui/command_line.h"
#include "ui/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    fuzz_settings_clear();
    fuzz_settings_load(std::string(reinterpret_cast<const char*>(data), size));
    reset_command_line();
    reset_settings();
    read_options_settings();
    load_settings();
    read_font_spec(settings.title_font, "Title ");
    for (const char* dir :
         {settings.left_directory, settings.right_directory, settings.output_directory}) {
        if (!path_fits(dir)) {
            std::abort();
        }
    }
    for (const FilePicker& picker : settings.pickers) {
        const std::string& list = picker.filter_list;
        // Ends with the empty string, after at least the "All files" pair.
        if (!picker.has_filter_list || list.size() < 20 ||
            list.compare(list.size() - 2, 2, std::string(2, '\0')) != 0) {
            std::abort();
        }
    }
    if (std::strlen(settings.text_font.face_name) > 31 || settings.text_font.char_set != 1) {
        std::abort();
    }
    // Every value read back lies in its range (the pitch is a byte by its type).
    for (const FontSpec* f : {&settings.text_font, &settings.title_font}) {
        const bool height_ok =
            f->height != 0 && f->height >= -FONT_HEIGHT_LIMIT && f->height <= FONT_HEIGHT_LIMIT;
        if (!height_ok || f->weight < 0 || f->weight > 1000 || f->italic > 1) {
            std::abort();
        }
    }
    for (int flag :
         {merge_document.auto_walk, merge_document.compress_spaces, settings.line_numbers}) {
        if (flag != 0 && flag != 1) {
            std::abort();
        }
    }
    save_settings();
    return 0;
}
