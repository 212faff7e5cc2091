#ifndef PAIREX_UI_SETTINGS_H
#define PAIREX_UI_SETTINGS_H

#include <cstddef>
#include <cstdint>
#include <string>

#include "common/paths.h"
#include "ui/window_placement.h"

// Largest font height, in either sign, that a stored font may have: beyond it the
// panes show no readable text.
constexpr std::int32_t FONT_HEIGHT_LIMIT = 400;

// A logical font description; only these fields are stored, all others are zero.
// The face name is UTF-8: room for the 31 UTF-16 units the system's record holds,
// three bytes each.
constexpr std::size_t FACE_NAME_UNITS = 31;
constexpr std::size_t FACE_NAME_BYTES = FACE_NAME_UNITS * 3 + 1;
struct FontSpec {
    char face_name[FACE_NAME_BYTES];
    std::int32_t height;  // negative: character height in logical units
    std::int32_t weight;
    std::uint8_t italic;
    std::uint8_t pitch_and_family;
    std::uint8_t char_set;
};

enum PickerKind { PICKER_OPEN, PICKER_SAVE, PICKER_DIRECTORY };

// The state of one file dialog, kept for the whole run so that it reopens where it
// was left. `file_name` and `start_directory` point at PATH_BUFFER_SIZE buffers.
struct FilePicker {
    char* file_name;
    char* start_directory;
    const char* title;  // nullptr: the platform's default caption
    bool has_filter_list;
    std::string filter_list;  // NUL-separated pairs, ended by an empty string
    int filter_index;         // 1-based
    PickerKind kind;
};

enum PickerId {
    PICK_LEFT_FILE,
    PICK_RIGHT_FILE,
    PICK_OUTPUT,
    PICK_DIRECTORY1,
    PICK_DIRECTORY2,
    PICK_TARGET_DIRECTORY,
    PICKER_COUNT
};

// The array members' implicit copy loops use compiler-made names that a checker takes
// for reserved identifiers of ours.
struct Settings {  // NOLINT(bugprone-reserved-identifier)
    int tab_size = 8;
    int line_numbers = 0;
    int highlight_changes = 1;  // mark the characters that differ within changed lines
    int merged_result = 0;      // show the merged text below the two panes
    char left_file[PATH_BUFFER_SIZE] = {};
    char right_file[PATH_BUFFER_SIZE] = {};
    char output_file[PATH_BUFFER_SIZE] = {};
    char left_directory[PATH_BUFFER_SIZE] = {};
    char right_directory[PATH_BUFFER_SIZE] = {};
    char output_directory[PATH_BUFFER_SIZE] = {};
    char directory1_start[PATH_BUFFER_SIZE] = {};
    char directory2_start[PATH_BUFFER_SIZE] = {};
    char target_start[PATH_BUFFER_SIZE] = {};
    char directory1_name[PATH_BUFFER_SIZE] = {};
    char directory2_name[PATH_BUFFER_SIZE] = {};
    char target_name[PATH_BUFFER_SIZE] = {};
    FontSpec text_font = {};
    FontSpec title_font = {};
    FilePicker pickers[PICKER_COUNT] = {};
    // "Misc": where the main window opens; the window system keeps it up to date.
    WindowPlacement window = {};
    int theme = 0;  // "Theme" in "Options": a ThemeChoice (ui/view/theme_palette.h)
    bool write_failure_reported = false;
};

// The one instance.
extern Settings settings;

// Back to the state before start-up (the tests start each case from here).
void reset_settings();

// Reads the section "Options": tab size, Auto walk, Compress spaces, Line numbers,
// Highlight changes, Keep line ends, Merged result; and the main window's placement from "Misc".
void read_options_settings();

// On the main window's creation: reads "Files", applies the command-line options,
// sets up the six pickers, reads and creates the text font and sets the check marks
// of the option menu items.
void load_settings();

// Writes "Files", then "Options", then "Font" (title font, then text font), then the
// main window's placement in "Misc" when it is known.
void save_settings();

// Reads or writes the five keys of a font, each named prefix + key name.
void read_font_spec(FontSpec& spec, const char* prefix);
void write_font_spec(const FontSpec& spec, const char* prefix);

// The filter list of a file dialog: "All files(*.*)", "*.*", then the stored
// description and filter pairs, each string NUL-ended, the list ended by an empty
// string. Returns false (and leaves `out` empty) when memory runs out.
bool build_filter_list(std::string& out);

// Reads an integer key: a missing key gives `default_value`, a stored value its
// leading signed decimal number (0 when there is none), held to the int range.
int settings_read_int(const char* section, const char* key, int default_value);
void settings_write_int(const char* section, const char* key, long value);
// settings_read_int held to low..high: a value outside gives `default_value`.
int settings_read_ranged(const char* section, const char* key, int default_value, int low,
                         int high);

// A write into the settings file `path` failed: says so in a message box, the first
// time in a run only, since every later write would fail alike.
void report_settings_write_failure(const std::string& path);

// Options > Follow Windows, Light, Dark: keeps `theme` (a ThemeChoice), moves the radio
// mark to its item and has the window system repaint in it.
void choose_theme(int theme);
// The radio mark on the item of settings.theme.
void mark_theme_choice();

// After a confirmed open pick: the start directory becomes the chosen path up to,
// not including, the separator before the file name. After a confirmed save pick:
// up to and including it.
void keep_open_pick_directory(FilePicker& picker);
void keep_save_pick_directory(FilePicker& picker);

#endif
