#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "resources/command_ids.h"
#include "merge/document.h"
#include "tests/ui/fake_ui.h"
#include "ui/command_line.h"
#include "ui/settings.h"
#include "ui/settings_text.h"
#include "common/charset.h"
#include "common/encoding.h"
#include "common/unicode.h"

namespace {

class PersistedSettings : public ::testing::Test {
protected:
    void SetUp() override { reset_fake_ui(); }
};

// The strings of a filter list, up to (not including) its ending empty string.
std::vector<std::string> filter_strings(const std::string& list) {
    std::vector<std::string> out;
    std::size_t at = 0;
    while (at < list.size() && list[at] != '\0') {
        std::size_t end = list.find('\0', at);
        out.push_back(list.substr(at, end - at));
        at = end + 1;
    }
    return out;
}

TEST_F(PersistedSettings, DefaultsWithoutAFile) {
    read_options_settings();
    load_settings();
    EXPECT_EQ(settings.tab_size, 8);
    EXPECT_EQ(settings.line_numbers, 0);
    EXPECT_EQ(merge_document.auto_walk, 0);
    EXPECT_EQ(merge_document.compress_spaces, 0);
    EXPECT_EQ(settings.highlight_changes, 1);
    EXPECT_EQ(merge_document.keep_line_ends, 0);  // CR LF text mode unless asked
    EXPECT_STREQ(settings.left_directory, "");
    EXPECT_STREQ(settings.left_file, "");
    read_font_spec(settings.title_font, "Title ");
    for (const FontSpec* f : {&settings.text_font, &settings.title_font}) {
        EXPECT_STREQ(f->face_name, "Terminal");
        EXPECT_EQ(f->height, -12);
        EXPECT_EQ(f->weight, 400);
        EXPECT_EQ(f->italic, 0);
        EXPECT_EQ(f->pitch_and_family, 0);
        EXPECT_EQ(f->char_set, 1);
    }
    EXPECT_EQ(settings.pickers[PICK_LEFT_FILE].filter_index, 1);
    EXPECT_STREQ(settings.pickers[PICK_LEFT_FILE].title, "Open file 1");
    EXPECT_STREQ(settings.pickers[PICK_RIGHT_FILE].title, "Open file 2");
    EXPECT_EQ(settings.pickers[PICK_OUTPUT].title, nullptr);
    EXPECT_EQ(settings.pickers[PICK_OUTPUT].kind, PICKER_SAVE);
    EXPECT_STREQ(settings.pickers[PICK_TARGET_DIRECTORY].title, "Target Directory");
    EXPECT_EQ(settings.pickers[PICK_DIRECTORY1].kind, PICKER_DIRECTORY);
    // Only Highlight changes is on by default; the text font is made once.
    EXPECT_EQ(ui_calls(), (std::vector<std::string>{"text_font Terminal", "check 330 1",
                                                    "check 350 1", "check 351 0", "check 352 0"}));
}

TEST_F(PersistedSettings, StoredOptionsAndFontsWithTheirPrefix) {
    fake_ini_set("options", "TAB SIZE", "4");
    fake_ini_set("Options", "Auto walk", "1");
    fake_ini_set("Options", "Compress spaces", "1");
    fake_ini_set("Options", "Line numbers", "1");
    fake_ini_set("Options", "Highlight changes", "0");
    fake_ini_set("Options", "Keep line ends", "1");
    fake_ini_set("Options", "Merged result", "1");
    fake_ini_set("Font", "Font name", "Courier New");
    fake_ini_set("Font", "Point size", "-16");
    fake_ini_set("Font", "Title Font name", "Arial");
    fake_ini_set("Font", "Title Weight", "700");
    fake_ini_set("Font", "Title Italic", "1");
    fake_ini_set("Font", "Title Pitch", "2");
    read_options_settings();
    load_settings();
    read_font_spec(settings.title_font, "Title ");
    EXPECT_EQ(settings.tab_size, 4);
    EXPECT_EQ(settings.highlight_changes, 0);
    EXPECT_EQ(merge_document.keep_line_ends, 1);
    EXPECT_EQ(settings.merged_result, 1);
    EXPECT_STREQ(settings.text_font.face_name, "Courier New");
    EXPECT_EQ(settings.text_font.height, -16);
    EXPECT_EQ(settings.text_font.weight, 400);
    EXPECT_STREQ(settings.title_font.face_name, "Arial");
    EXPECT_EQ(settings.title_font.weight, 700);
    EXPECT_EQ(settings.title_font.italic, 1);
    EXPECT_EQ(settings.title_font.pitch_and_family, 2);
    EXPECT_EQ(settings.title_font.height, -12);
    EXPECT_EQ(ui_calls(),
              (std::vector<std::string>{"text_font Courier New", "check 308 1", "check 14 1",
                                        "check 16 1", "check 331 1", "check 346 1", "check 350 1",
                                        "check 351 0", "check 352 0"}));
}

TEST_F(PersistedSettings, GarbageValuesGiveNumbersNotFaults) {
    fake_ini_set("Options", "Tab size", "abc");
    fake_ini_set("Options", "Auto walk", "7");
    fake_ini_set("Options", "Line numbers", "  -3x");
    fake_ini_set("Options", "Highlight changes", "7");
    fake_ini_set("Files", "Current index 1", "99999999999999999999");
    fake_ini_set("Files", "Current index 2", "-5");
    fake_ini_set("Font", "Font name", std::string(100, 'F'));
    fake_ini_set("Font", "Weight", "-99999999999");
    read_options_settings();
    load_settings();
    EXPECT_EQ(settings.tab_size, 0);
    EXPECT_EQ(merge_document.auto_walk, 0);  // flags are 0 or 1, else the default
    EXPECT_EQ(settings.line_numbers, 0);
    EXPECT_EQ(settings.highlight_changes, 1);
    EXPECT_EQ(settings.pickers[PICK_LEFT_FILE].filter_index, INT_MAX);
    EXPECT_EQ(settings.pickers[PICK_RIGHT_FILE].filter_index, 1);
    EXPECT_EQ(std::strlen(settings.text_font.face_name), 31u);
    EXPECT_EQ(settings.text_font.weight, 400);
}

TEST_F(PersistedSettings, OutOfRangeFontValuesFallBackAndAreWrittenBackCorrected) {
    fake_ini_set("Font", "Point size", "2147483647");
    fake_ini_set("Font", "Weight", "-99999");
    fake_ini_set("Font", "Italic", "300");
    fake_ini_set("Font", "Pitch", "256");
    fake_ini_set("Font", "Title Point size", "-401");
    fake_ini_set("Font", "Title Weight", "1001");
    fake_ini_set("Font", "Title Italic", "-1");
    fake_ini_set("Font", "Title Pitch", "255");
    fake_ini_set("Options", "Compress spaces", "2");
    read_options_settings();
    load_settings();
    read_font_spec(settings.title_font, "Title ");
    for (const FontSpec* f : {&settings.text_font, &settings.title_font}) {
        EXPECT_EQ(f->height, -12);
        EXPECT_EQ(f->weight, 400);
        EXPECT_EQ(f->italic, 0);
    }
    EXPECT_EQ(settings.text_font.pitch_and_family, 0);
    EXPECT_EQ(settings.title_font.pitch_and_family, 255);  // the edge is in range
    EXPECT_EQ(merge_document.compress_spaces, 0);
    save_settings();
    EXPECT_EQ(fake_ini_get("Font", "Point size"), "-12");
    EXPECT_EQ(fake_ini_get("Font", "Italic"), "0");
    EXPECT_EQ(fake_ini_get("Font", "Title Weight"), "400");

    // The edges of the height range are kept.
    fake_ini_set("Font", "Point size", "400");
    fake_ini_set("Font", "Title Point size", "-400");
    load_settings();
    read_font_spec(settings.title_font, "Title ");
    EXPECT_EQ(settings.text_font.height, 400);
    EXPECT_EQ(settings.title_font.height, -400);
}

TEST_F(PersistedSettings, DirectoriesLoseOneTrailingSeparatorAndOptionsWin) {
    std::string sep(1, PATH_SEPARATOR);
    fake_ini_set("Files", "Dir name 1", "base" + sep + "left" + sep);
    fake_ini_set("Files", "Dir name 2", "stored");
    fake_ini_set("Files", "Out dir", "out" + sep + sep);
    ASSERT_EQ(parse_command_line(("-d2 given" + sep + " -f1 a.txt -outf m.txt").c_str()), 0);
    load_settings();
    EXPECT_STREQ(settings.left_directory, ("base" + sep + "left").c_str());
    EXPECT_STREQ(settings.right_directory, "given");
    EXPECT_STREQ(settings.output_directory, ("out" + sep).c_str());
    EXPECT_STREQ(settings.left_file, "a.txt");
    EXPECT_STREQ(settings.output_file, "m.txt");
    // The directory pickers start from copies.
    EXPECT_STREQ(settings.directory1_start, settings.left_directory);
    EXPECT_STREQ(settings.directory2_start, "given");
    EXPECT_STREQ(settings.target_start, settings.output_directory);
    EXPECT_EQ(settings.pickers[PICK_LEFT_FILE].file_name, settings.left_file);
    EXPECT_EQ(settings.pickers[PICK_LEFT_FILE].start_directory, settings.left_directory);
    EXPECT_NE(settings.pickers[PICK_DIRECTORY1].start_directory, settings.left_directory);
}

// A face name in another script is cut to what the system's record holds, between
// characters; a name that fits is kept whole.
TEST_F(PersistedSettings, FaceNameInAnyScriptIsCutBetweenCharacters) {
    std::string long_name;
    for (int i = 0; i < 40; ++i) {
        long_name += "\xE6\x97\xA5";  // 日
    }
    fake_ini_set("Font", "Font name", long_name);
    fake_ini_set("Font", "Title Font name", "\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D");
    read_font_spec(settings.text_font, "");
    read_font_spec(settings.title_font, "Title ");
    EXPECT_EQ(std::string(settings.text_font.face_name), long_name.substr(0, 31 * 3));
    EXPECT_STREQ(settings.title_font.face_name,
                 "\xEF\xBC\xAD\xEF\xBC\xB3 \xE6\x98\x8E\xE6\x9C\x9D");
}

TEST_F(PersistedSettings, OverlongStoredDirectoryIsTakenAsEmpty) {
    fake_ini_set("Files", "Dir name 1", std::string(260, 'd'));
    fake_ini_set("Files", "Dir name 2", std::string(259, 'd'));
    load_settings();
    EXPECT_STREQ(settings.left_directory, "");
    EXPECT_EQ(std::strlen(settings.right_directory), 259u);
}

TEST_F(PersistedSettings, FilterListOffersAllFilesThenStoredPairsInKeyOrder) {
    fake_ini_set("Filters", "Filters number", "2");
    fake_ini_set("Filters", "Description 2", "C sources");
    fake_ini_set("Filters", "Filter 2", "*.c;*.h");
    fake_ini_set("Filters", "Description 1", "Text");
    fake_ini_set("Filters", "Filter 1", "*.txt");
    std::string list;
    ASSERT_TRUE(build_filter_list(list));
    EXPECT_EQ(list, std::string("All files(*.*)\0*.*\0Text\0*.txt\0C sources\0*.c;*.h\0\0", 49));
}

TEST_F(PersistedSettings, MissingFilterKeysEndTheListEarly) {
    fake_ini_set("Filters", "Filters number", "3");
    fake_ini_set("Filters", "Description 1", "Text");
    fake_ini_set("Filters", "Filter 1", "*.txt");
    fake_ini_set("Filters", "Filter 2", "*.md");
    fake_ini_set("Filters", "Description 3", "Logs");
    fake_ini_set("Filters", "Filter 3", "*.log");
    std::string list;
    ASSERT_TRUE(build_filter_list(list));
    EXPECT_EQ(filter_strings(list),
              (std::vector<std::string>{"All files(*.*)", "*.*", "Text", "*.txt"}));
    // No filters at all, and a negative count, give only the first pair.
    reset_fake_ui();
    fake_ini_set("Filters", "Filters number", "-4");
    ASSERT_TRUE(build_filter_list(list));
    EXPECT_EQ(list, std::string("All files(*.*)\0*.*\0\0", 20));
}

TEST_F(PersistedSettings, PickerFilterIndexRoundTrips) {
    fake_ini_set("Files", "Current index 1", "2");
    fake_ini_set("Files", "Save index", "1");
    load_settings();
    EXPECT_EQ(settings.pickers[PICK_LEFT_FILE].filter_index, 3);
    EXPECT_EQ(settings.pickers[PICK_OUTPUT].filter_index, 2);
    settings.pickers[PICK_LEFT_FILE].filter_index = 1;
    save_settings();
    EXPECT_EQ(fake_ini_get("Files", "Current index 1"), "0");
    EXPECT_EQ(fake_ini_get("Files", "Save index"), "1");
}

TEST_F(PersistedSettings, SaveWritesFilesOptionsThenTitleAndTextFont) {
    load_settings();
    read_font_spec(settings.title_font, "Title ");
    fake_ui().ini_writes.clear();
    merge_document.auto_walk = 1;
    settings.tab_size = 3;
    std::strcpy(settings.left_directory, "L");
    save_settings();
    EXPECT_EQ(fake_ui().ini_writes, (std::vector<std::string>{"Files/Current index 1=0",
                                                              "Files/Dir name 1=L",
                                                              "Files/Current index 2=0",
                                                              "Files/Dir name 2=",
                                                              "Files/Save index=0",
                                                              "Files/Out dir=",
                                                              "Options/Tab size=3",
                                                              "Options/Auto walk=1",
                                                              "Options/Compress spaces=0",
                                                              "Options/Line numbers=0",
                                                              "Options/Highlight changes=1",
                                                              "Options/Keep line ends=0",
                                                              "Options/Merged result=0",
                                                              "Options/Theme=0",
                                                              "Font/Title Font name=Terminal",
                                                              "Font/Title Weight=400",
                                                              "Font/Title Italic=0",
                                                              "Font/Title Point size=-12",
                                                              "Font/Title Pitch=0",
                                                              "Font/Font name=Terminal",
                                                              "Font/Weight=400",
                                                              "Font/Italic=0",
                                                              "Font/Point size=-12",
                                                              "Font/Pitch=0"}));
}

// "Theme" keeps 0, 1 and 2; anything else is Follow Windows, and is written back so.
TEST_F(PersistedSettings, ThemeRoundTripsAndOtherValuesFollowWindows) {
    const std::pair<const char*, int> cases[] = {{nullptr, 0}, {"0", 0},  {"1", 1},   {"2", 2},
                                                 {"3", 0},     {"-1", 0}, {"dark", 0}};
    for (const auto& [stored, theme] : cases) {
        reset_fake_ui();
        if (stored != nullptr) {
            fake_ini_set("Options", "Theme", stored);
        }
        read_options_settings();
        EXPECT_EQ(settings.theme, theme) << (stored ? stored : "missing");
        save_settings();
        EXPECT_EQ(fake_ini_get("Options", "Theme"), std::to_string(theme));
    }
}

TEST_F(PersistedSettings, PicksRememberTheirDirectory) {
    load_settings();
    std::string sep(1, PATH_SEPARATOR);
    FilePicker& left = settings.pickers[PICK_LEFT_FILE];
    std::strcpy(left.file_name, ("c:" + sep + "work" + sep + "a.txt").c_str());
    keep_open_pick_directory(left);
    EXPECT_STREQ(settings.left_directory, ("c:" + sep + "work").c_str());
    FilePicker& out = settings.pickers[PICK_OUTPUT];
    std::strcpy(out.file_name, ("c:" + sep + "out" + sep + "m.txt").c_str());
    keep_save_pick_directory(out);
    EXPECT_STREQ(settings.output_directory, ("c:" + sep + "out" + sep).c_str());
    // A bare name leaves the directory as it was.
    std::strcpy(out.file_name, "m.txt");
    keep_save_pick_directory(out);
    EXPECT_STREQ(settings.output_directory, ("c:" + sep + "out" + sep).c_str());
}

}  // namespace

namespace {

// A file in UTF-16 stays; any other is turned before a byte outside ASCII is read from
// it or written into it. Its text comes out as UTF-8 where it is UTF-8 as a whole, else
// through the 8-bit decoder; nothing is dropped on the way.
TEST(SettingsText, EightBitAndUtf8FilesTurnIntoUtf16) {
    struct Case {
        std::string file;
        std::string value;
        bool turned;
        std::string text;  // UTF-8 of the turned file
    };
    const Case cases[] = {
        {"[O]\r\nk=4\r\n", "", false, ""},
        {"[O]\r\nk=4\r\n", "C:\\x", false, ""},
        {"[O]\r\nk=4\r\n", "\xD0\x96", true, "[O]\r\nk=4\r\n"},
        {"[M]\r\nk=caf\xE9\r\n", "", true, "[M]\r\nk=caf\xC3\xA9\r\n"},
        {"[M]\r\nk=caf\xC3\xA9\r\n", "", true, "[M]\r\nk=caf\xC3\xA9\r\n"},
        {"\xEF\xBB\xBF[M]\r\nk=\xD0\x96\r\n", "", true, "[M]\r\nk=\xD0\x96\r\n"},
        {"\xFF\xFE[\0M\0]\0", "\xD0\x96", false, ""},
        {"\xFE\xFF\0[\0M\0]", "caf\xC3\xA9", false, ""},
    };
    const EightBitDecoder latin = [](std::string_view bytes, std::string& out) {
        decode_windows_1252(bytes, out);
        return true;
    };
    for (const Case& c : cases) {
        EXPECT_EQ(settings_file_needs_utf16(c.file, c.value), c.turned) << c.file;
        if (!c.turned) {
            continue;
        }
        std::string expected = "\xFF\xFE";
        ASSERT_TRUE(utf8_to_utf16(c.text, false, expected));
        std::string turned;
        ASSERT_TRUE(settings_file_as_utf16(c.file, latin, turned));
        EXPECT_EQ(turned, expected) << c.file;
    }
}

}  // namespace
