// The command line as the shell hands it over: any bytes up to a NUL. The scan must
// never read past the text, and every value it keeps must fit a path buffer.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "common/paths.h"
#include "tests/support/fuzz_ui.h"
#include "ui/command_line.h"
#include "ui/settings.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    text = text.c_str();  // the command line ends at its first NUL
    fuzz_settings_clear();
    reset_command_line();
    reset_settings();
    parse_command_line(text.c_str());
    for (int key = 0; key < OPTION_COUNT; ++key) {
        if (auto value = option_value(key); value && !path_fits(*value)) {
            std::abort();
        }
    }
    load_settings();
    save_settings();
    return 0;
}
