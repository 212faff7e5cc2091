#include "ui/settings.h"

#include <climits>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <new>
#include <utility>

#include "common/report.h"
#include "common/unicode.h"
#include "resources/command_ids.h"
#include "ui/command_line.h"
#include "merge/document.h"
#include "ui/settings_file.h"
#include "ui/ui_platform.h"
#include "ui/view/theme_palette.h"

Settings settings;

namespace {

const FontSpec DEFAULT_FONT = {"Terminal", -12, 400, 0, 0, 1};

// Reads a stored path; one that does not fit the buffer is taken as empty, because
// a cut path could name another file.
void read_path(const char* section, const char* key, char* buffer) {
    std::string value = settings_read_string(section, key, "");
    if (!path_fits(value) || !copy_path(buffer, PATH_BUFFER_SIZE, value.c_str())) {
        buffer[0] = '\0';
    }
}

void apply_option(int key, char* buffer) {
    if (auto value = option_value(key)) {
        // Values longer than a path were refused by the command-line scan.
        copy_path(buffer, PATH_BUFFER_SIZE, value->c_str());
    }
}

void drop_trailing_separator(char* path) {
    std::size_t n = std::strlen(path);
    if (n > 0 && is_path_separator(path[n - 1])) {
        path[n - 1] = '\0';
    }
}

void set_up_picker(PickerId id, char* file_name, char* start, const char* title, int index,
                   PickerKind kind) {
    FilePicker& picker = settings.pickers[id];
    picker.file_name = file_name;
    picker.start_directory = start;
    picker.title = title;
    picker.has_filter_list = build_filter_list(picker.filter_list);
    picker.filter_index = index;
    picker.kind = kind;
}

}  // namespace

void reset_settings() {
    settings = Settings{};
}

int settings_read_int(const char* section, const char* key, int default_value) {
    char text[16];
    std::snprintf(text, sizeof text, "%d", default_value);
    std::string value = settings_read_string(section, key, text);
    const char* p = value.c_str();
    while (*p == ' ' || *p == '\t') {
        ++p;
    }
    bool negative = false;
    if (*p == '-' || *p == '+') {
        negative = *p == '-';
        ++p;
    }
    long long number = 0;
    while (*p >= '0' && *p <= '9') {
        if (number <= static_cast<long long>(INT_MAX) + 1) {
            number = number * 10 + (*p - '0');
        }
        ++p;
    }
    if (negative) {
        number = -number;
    }
    if (number > INT_MAX) {
        return INT_MAX;
    }
    if (number < INT_MIN) {
        return INT_MIN;
    }
    return static_cast<int>(number);
}

void settings_write_int(const char* section, const char* key, long value) {
    char text[24];
    std::snprintf(text, sizeof text, "%ld", value);
    settings_write_string(section, key, text);
}

int settings_read_ranged(const char* section, const char* key, int default_value, int low,
                         int high) {
    const int value = settings_read_int(section, key, default_value);
    return value >= low && value <= high ? value : default_value;
}

void read_options_settings() {
    settings.tab_size = settings_read_int("Options", "Tab size", 8);
    merge_document.auto_walk = settings_read_ranged("Options", "Auto walk", 0, 0, 1);
    merge_document.compress_spaces = settings_read_ranged("Options", "Compress spaces", 0, 0, 1);
    settings.line_numbers = settings_read_ranged("Options", "Line numbers", 0, 0, 1);
    settings.highlight_changes = settings_read_ranged("Options", "Highlight changes", 1, 0, 1);
    merge_document.keep_line_ends = settings_read_ranged("Options", "Keep line ends", 0, 0, 1);
    settings.merged_result = settings_read_ranged("Options", "Merged result", 0, 0, 1);
    settings.theme = settings_read_ranged("Options", "Theme", THEME_FOLLOW_WINDOWS,
                                          THEME_FOLLOW_WINDOWS, THEME_DARK);
    settings.window = read_window_placement();
}

void read_font_spec(FontSpec& spec, const char* prefix) {
    std::string key;
    auto name = [&](const char* suffix) {
        key = prefix;
        key += suffix;
        return key.c_str();
    };
    spec = FontSpec{};
    std::string face = settings_read_string("Font", name("Font name"), DEFAULT_FONT.face_name);
    // The system's record holds 31 UTF-16 units of a face name; a longer one is cut
    // between characters.
    face.resize(utf8_prefix_within_units(face, FACE_NAME_UNITS));
    std::snprintf(spec.face_name, sizeof spec.face_name, "%s", face.c_str());
    // Values a font cannot be made readable with fall back to the default, which the
    // shut-down then writes back in their place.
    spec.weight = settings_read_ranged("Font", name("Weight"), DEFAULT_FONT.weight, 0, 1000);
    spec.italic = static_cast<std::uint8_t>(settings_read_ranged("Font", name("Italic"), 0, 0, 1));
    spec.height = settings_read_int("Font", name("Point size"), DEFAULT_FONT.height);
    if (spec.height == 0 || spec.height < -FONT_HEIGHT_LIMIT || spec.height > FONT_HEIGHT_LIMIT) {
        spec.height = DEFAULT_FONT.height;
    }
    spec.pitch_and_family =
        static_cast<std::uint8_t>(settings_read_ranged("Font", name("Pitch"), 0, 0, 255));
    spec.char_set = 1;
}

void write_font_spec(const FontSpec& spec, const char* prefix) {
    std::string key;
    auto name = [&](const char* suffix) {
        key = prefix;
        key += suffix;
        return key.c_str();
    };
    settings_write_string("Font", name("Font name"), spec.face_name);
    settings_write_int("Font", name("Weight"), spec.weight);
    settings_write_int("Font", name("Italic"), spec.italic);
    settings_write_int("Font", name("Point size"), spec.height);
    settings_write_int("Font", name("Pitch"), spec.pitch_and_family);
}

bool build_filter_list(std::string& out) {
    out.clear();
    try {
        std::string list;
        list.reserve(512);
        auto append = [&list](const std::string& s) {
            list += s;
            list += '\0';
        };
        int count = settings_read_int("Filters", "Filters number", 0);
        append("All files(*.*)");
        append("*.*");
        char key[40];
        // The dialog reads up to the first empty string: nothing after it is offered,
        // so a garbage count does not make start-up read a million missing keys.
        bool ended = false;
        for (int i = 1; i <= count && !ended; ++i) {
            std::snprintf(key, sizeof key, "Description %d", i);
            std::string description = settings_read_string("Filters", key, "");
            std::snprintf(key, sizeof key, "Filter %d", i);
            std::string filter = settings_read_string("Filters", key, "");
            append(description);
            append(filter);
            ended = description.empty() || filter.empty();
        }
        append("");
        out = std::move(list);
        return true;
    } catch (const std::bad_alloc&) {
        out.clear();
        return false;
    }
}

// Sets the check marks of the option items that are on (all start unchecked).
static void check_option_items() {
    const std::pair<int, int> options[] = {
        {settings.line_numbers, CMD_LINE_NUMBERS},
        {merge_document.compress_spaces, CMD_COMPRESS_SPACES},
        {merge_document.auto_walk, CMD_AUTO_WALK},
        {settings.highlight_changes, CMD_HIGHLIGHT_CHANGES},
        {merge_document.keep_line_ends, CMD_KEEP_LINE_ENDS},
        {settings.merged_result, CMD_MERGED_RESULT},
    };
    for (const auto& [on, id] : options) {
        if (on != 0) {
            ui_check_menu_item(id, 1);
        }
    }
}

void load_settings() {
    int index1 = settings_read_int("Files", "Current index 1", 0);
    read_path("Files", "Dir name 1", settings.left_directory);
    int index2 = settings_read_int("Files", "Current index 2", 0);
    read_path("Files", "Dir name 2", settings.right_directory);
    int save_index = settings_read_int("Files", "Save index", 0);
    read_path("Files", "Out dir", settings.output_directory);

    apply_option(OPT_F1, settings.left_file);
    apply_option(OPT_D1, settings.left_directory);
    apply_option(OPT_F2, settings.right_file);
    apply_option(OPT_D2, settings.right_directory);
    apply_option(OPT_OUTF, settings.output_file);
    apply_option(OPT_OUTD, settings.output_directory);

    drop_trailing_separator(settings.left_directory);
    drop_trailing_separator(settings.right_directory);
    drop_trailing_separator(settings.output_directory);

    std::memcpy(settings.directory1_start, settings.left_directory, PATH_BUFFER_SIZE);
    std::memcpy(settings.directory2_start, settings.right_directory, PATH_BUFFER_SIZE);
    std::memcpy(settings.target_start, settings.output_directory, PATH_BUFFER_SIZE);

    // A stored index is an offset into the list; keep it inside the int range once
    // one is added.
    auto one_based = [](int stored) {
        return stored < 0 ? 1 : (stored == INT_MAX ? stored : stored + 1);
    };
    set_up_picker(PICK_LEFT_FILE, settings.left_file, settings.left_directory, "Open file 1",
                  one_based(index1), PICKER_OPEN);
    set_up_picker(PICK_RIGHT_FILE, settings.right_file, settings.right_directory, "Open file 2",
                  one_based(index2), PICKER_OPEN);
    set_up_picker(PICK_OUTPUT, settings.output_file, settings.output_directory, nullptr,
                  one_based(save_index), PICKER_SAVE);
    set_up_picker(PICK_DIRECTORY1, settings.directory1_name, settings.directory1_start,
                  "Directory 1", 1, PICKER_DIRECTORY);
    set_up_picker(PICK_DIRECTORY2, settings.directory2_name, settings.directory2_start,
                  "Directory 2", 1, PICKER_DIRECTORY);
    set_up_picker(PICK_TARGET_DIRECTORY, settings.target_name, settings.target_start,
                  "Target Directory", 1, PICKER_DIRECTORY);

    read_font_spec(settings.text_font, "");
    ui_text_font_changed();

    check_option_items();
    mark_theme_choice();
}

void save_settings() {
    settings_write_int("Files", "Current index 1",
                       settings.pickers[PICK_LEFT_FILE].filter_index - 1L);
    settings_write_string("Files", "Dir name 1", settings.left_directory);
    settings_write_int("Files", "Current index 2",
                       settings.pickers[PICK_RIGHT_FILE].filter_index - 1L);
    settings_write_string("Files", "Dir name 2", settings.right_directory);
    settings_write_int("Files", "Save index", settings.pickers[PICK_OUTPUT].filter_index - 1L);
    settings_write_string("Files", "Out dir", settings.output_directory);

    settings_write_int("Options", "Tab size", settings.tab_size);
    settings_write_int("Options", "Auto walk", merge_document.auto_walk);
    settings_write_int("Options", "Compress spaces", merge_document.compress_spaces);
    settings_write_int("Options", "Line numbers", settings.line_numbers);
    settings_write_int("Options", "Highlight changes", settings.highlight_changes);
    settings_write_int("Options", "Keep line ends", merge_document.keep_line_ends);
    settings_write_int("Options", "Merged result", settings.merged_result);
    settings_write_int("Options", "Theme", settings.theme);

    write_font_spec(settings.title_font, "Title ");
    write_font_spec(settings.text_font, "");
    write_window_placement(settings.window);
}

void report_settings_write_failure(const std::string& path) {
    if (settings.write_failure_reported) {
        return;
    }
    settings.write_failure_reported = true;
    const std::string text = format_message(
        "The settings file %s cannot be written. Options, fonts and the window's place "
        "changed in this run will not be kept.",
        path.c_str());
    report_message(text.c_str(), SEVERITY_WARNING);
}

void mark_theme_choice() {
    for (int theme = THEME_FOLLOW_WINDOWS; theme <= THEME_DARK; ++theme) {
        ui_check_menu_item(CMD_THEME_FOLLOW_WINDOWS + theme, settings.theme == theme ? 1 : 0);
    }
}

void choose_theme(int theme) {
    settings.theme = theme;
    mark_theme_choice();
    ui_theme_changed();
}

namespace {

// Index of the last separator in the picker's chosen path, or -1.
long last_separator(const char* path) {
    long found = -1;
    for (long i = 0; path[i] != '\0'; ++i) {
        if (is_path_separator(path[i])) {
            found = i;
        }
    }
    return found;
}

void keep_directory(FilePicker& picker, bool with_separator) {
    long at = last_separator(picker.file_name);
    if (at < 0) {
        return;  // a bare name: no directory to remember
    }
    std::size_t n = static_cast<std::size_t>(at) + (with_separator ? 1 : 0);
    std::memmove(picker.start_directory, picker.file_name, n);
    picker.start_directory[n] = '\0';
}

}  // namespace

void keep_open_pick_directory(FilePicker& picker) {
    keep_directory(picker, false);
}
void keep_save_pick_directory(FilePicker& picker) {
    keep_directory(picker, true);
}
