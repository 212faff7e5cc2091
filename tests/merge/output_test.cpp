#include <filesystem>
#include <iterator>
#include <string>

#include "common/textio.h"
#include "merge/blocks.h"
#include "merge/selection.h"
#include "merge/output.h"
#include "tests/merge/merge_test_util.h"

namespace {

// left: keep, old, tail; right: keep, new, tail; one block, 2c2.
class Output : public MergeTest {
protected:
    void SetUp() override {
        MergeTest::SetUp();
        left = load(SIDE_LEFT, "left.txt", lf_lines({"keep", "old", "tail"}));
        right = load(SIDE_RIGHT, "right.txt", lf_lines({"keep", "new", "tail"}));
        install_listing("2c2\n< old\n---\n> new\n");
    }
    // The document of two identical files: compared, no block tables.
    void make_identical() {
        free_blocks();
        merge_document.not_compared = 0;
    }
    std::string left, right;
};

const std::string LEFT_MERGED = with_line_ends({"keep", "old", "tail"});
const std::string RIGHT_MERGED = with_line_ends({"keep", "new", "tail"});

TEST_F(Output, RefusesUncomparedEmptyAndUnresolved) {
    const std::string out = dir.file("out.txt");
    EXPECT_EQ(write_merged(out.c_str()), 1);  // block 0 is open
    EXPECT_EQ(write_merged("PRN:"), 1);
    EXPECT_EQ(fake_platform().print_jobs_started, 0);
    merge_document.not_compared = 1;
    EXPECT_EQ(write_merged(out.c_str()), 1);
    reset_document();  // as after a directory walk: compared, but empty
    EXPECT_EQ(write_merged(out.c_str()), 1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{"You have unresolved difference(s) !", SEVERITY_ERROR},
                                            {"You have unresolved difference(s) !", SEVERITY_ERROR},
                                            {"Files have not been compared yet", SEVERITY_INFO},
                                            {"Files have not been compared yet", SEVERITY_INFO}}));
    EXPECT_FALSE(exists(out));
    EXPECT_TRUE(fake_platform().questions.empty());
}

TEST_F(Output, OverwritingTheLeftInputAsksThenBacksItUp) {
    choose_block(SIDE_RIGHT, 0);
    fake_platform().answers = {ANSWER_NO, ANSWER_YES};
    EXPECT_EQ(write_merged(left.c_str()), -1);
    EXPECT_EQ(read_bytes(left), lf_lines({"keep", "old", "tail"}));
    EXPECT_FALSE(exists(dir.file("left.bak")));

    EXPECT_EQ(write_merged(left.c_str()), 0);
    ASSERT_EQ(fake_platform().questions.size(), 2u);
    const AskedQuestion& q = fake_platform().questions[1];
    EXPECT_EQ(q.caption, "Confirm the operation");
    EXPECT_EQ(q.text, "File " + left + " already exists.\nSave anyway ?");
    EXPECT_EQ(q.buttons, BUTTONS_YES_NO);
    EXPECT_EQ(read_bytes(dir.file("left.bak")), lf_lines({"keep", "old", "tail"}));
    EXPECT_EQ(read_bytes(left), RIGHT_MERGED);
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Output, BackupNames) {
    dir.write("report.txt", "r");
    dir.write("report.bak", "older backup");
    dir.write("notes", "n");
    dir.write("notes.bak", "b");
    dir.write("UPPER.BAK", "u");
    EXPECT_EQ(make_backup(dir.file("report.txt").c_str()), 0);
    EXPECT_EQ(read_bytes(dir.file("report.bak")), "r");
    EXPECT_FALSE(exists(dir.file("report.txt")));
    EXPECT_EQ(make_backup(dir.file("notes.bak").c_str()), 0);
    EXPECT_EQ(read_bytes(dir.file("notes.bak")), "b");
    EXPECT_EQ(make_backup(dir.file("UPPER.BAK").c_str()), 0);
    EXPECT_TRUE(exists(dir.file("UPPER.BAK")));
    EXPECT_EQ(make_backup(dir.file("notes").c_str()), 0);
    EXPECT_EQ(read_bytes(dir.file("notes.bak")), "n");
    EXPECT_TRUE(reported_messages().empty());
    EXPECT_EQ(make_backup(dir.file("gone.txt").c_str()), -1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{"Unable to create backup file", SEVERITY_WARNING}}));
}

TEST_F(Output, WritingOverABakFileMakesNoBackup) {
    choose_all_from(SIDE_LEFT);
    const std::string target = dir.write("notes.bak", "before");
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(write_merged(target.c_str()), 0);
    EXPECT_EQ(read_bytes(target), LEFT_MERGED);
    EXPECT_FALSE(exists(dir.file("notes.bak.bak")));
}

TEST_F(Output, LineEndsOfAnyInputBecomeLineEnd) {
    load(SIDE_LEFT, "crlf.txt", "keep\r\nold\r\ntail");
    load(SIDE_RIGHT, "lf.txt", "keep\nnew\ntail\n");
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), LEFT_MERGED);
}

TEST_F(Output, LongLinesAndNulBytesAreWrittenWhole) {
    const std::string long_line(20000, 'w');
    const std::string with_nul("a\0b\0", 4);
    load(SIDE_LEFT, "long.txt", lf_lines({long_line, "b", with_nul}));
    load(SIDE_RIGHT, "r2.txt", lf_lines({long_line, std::string("c\0", 2), with_nul}));
    install_listing("2c2\n< b\n---\n> c\n");
    choose_all_from(SIDE_RIGHT);
    // Compared with == rather than EXPECT_EQ: a failure would print 20,000 characters.
    EXPECT_TRUE(merged_text() == with_line_ends({long_line, std::string("c\0", 2), with_nul}));
}

// The bytes of `utf8` (ASCII and two-byte characters only) as UTF-16 LE, by hand.
std::string le(const std::string& ascii) {
    std::string out;
    for (char c : ascii) {
        out += c;
        out += '\0';
    }
    return out;
}

TEST_F(Output, MergedFileTakesTheLeftFilesEncoding) {
    const std::string eol = le(LINE_END);
    // UTF-16 LE left, UTF-8 right: the right's lines come out as UTF-16.
    load(SIDE_LEFT, "l16.txt", "\xFF\xFE" + le("keep\r\nold\r\ntail\r\n"));
    load(SIDE_RIGHT, "r8.txt", "keep\nn\xC3\xA9w\ntail\n");
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), "\xFF\xFE" + le("keep") + eol + std::string("n\0\xE9\0w\0", 6) + eol +
                                 le("tail") + eol);

    // UTF-16 BE left keeps its byte order and its mark.
    load(SIDE_LEFT, "l16be.txt", std::string("\xFE\xFF\0k\0\n\0o", 8));
    load(SIDE_RIGHT, "r.txt", "k\nx\n");
    install_listing("2c2\n< o\n---\n> x\n");
    choose_all_from(SIDE_LEFT);
    std::string be_eol;
    for (char c : std::string(LINE_END)) {
        be_eol += std::string(1, '\0') + c;
    }
    EXPECT_EQ(merged_text(),
              std::string("\xFE\xFF\0k", 4) + be_eol + std::string("\0o", 2) + be_eol);

    // A UTF-8 left with its mark gets the mark back; a UTF-16 right gives UTF-8 lines.
    load(SIDE_LEFT, "l8.txt", "\xEF\xBB\xBFkeep\nold\n");
    load(SIDE_RIGHT, "r16.txt", "\xFF\xFE" + le("keep\nnew\n"));
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), "\xEF\xBB\xBF" + with_line_ends({"keep", "new"}));
    EXPECT_TRUE(reported_messages().empty());
}

// Two files of one form: every byte as read, broken ones too, however it shows.
TEST_F(Output, LinesOfTheMergedFilesFormAreWrittenBackAsRead) {
    struct Pair {
        std::vector<std::string> left, right;
        DisplayCharset charset;
    };
    const Pair pairs[] = {
        {{"caf\xE9", "na\xEFve \xA0\x81", "same"},
         {"caf\xE9", "\xFF\xC3\xA9\x81", "same"},
         CHARSET_8BIT},
        {{"caf\xC3\xA9", "na\xC3\xAFve", "same"},
         {"caf\xC3\xA9", "\xD0\x9F\xFF\xD1\x80", "same"},
         CHARSET_UTF8},
    };
    for (const Pair& pair : pairs) {
        load(SIDE_LEFT, "l.txt", lf_lines(pair.left));
        load(SIDE_RIGHT, "r.txt", lf_lines(pair.right));
        ASSERT_EQ(merge_document.left.charset, pair.charset);
        ASSERT_EQ(merge_document.right.charset, pair.charset);
        for (const Side side : {SIDE_LEFT, SIDE_RIGHT}) {
            install_listing("1,2c1,2\n");
            choose_all_from(side);
            EXPECT_EQ(merged_text(), with_line_ends(side == SIDE_LEFT ? pair.left : pair.right));
        }
    }
    EXPECT_TRUE(reported_messages().empty());
}

enum Form { EIGHT_BIT, UTF8_PLAIN, UTF8_MARK, UTF16LE, UTF16BE };

// `utf8` (ASCII and Latin-1 letters only) as a file of `form` stores it, mark first;
// by hand, so as not to test the conversions with themselves.
std::string stored(Form form, const std::string& utf8) {
    std::u16string units;
    for (std::size_t i = 0; i < utf8.size(); ++i) {
        const auto b = static_cast<unsigned char>(utf8[i]);
        units += b < 0x80 ? char16_t{b}
                          : static_cast<char16_t>(((b & 0x1F) << 6) |
                                                  (static_cast<unsigned char>(utf8[++i]) & 0x3F));
    }
    std::string out;
    switch (form) {
        case EIGHT_BIT:
            for (const char16_t u : units) {
                out += static_cast<char>(u);
            }
            return out;
        case UTF8_PLAIN:
            return utf8;
        case UTF8_MARK:
            return "\xEF\xBB\xBF" + utf8;
        default:
            break;
    }
    const bool be = form == UTF16BE;
    out = be ? "\xFE\xFF" : "\xFF\xFE";
    for (const char16_t u : units) {
        const char hi = static_cast<char>(u >> 8);
        const char lo = static_cast<char>(u & 0xFF);
        out += be ? hi : lo;
        out += be ? lo : hi;
    }
    return out;
}

// Every line goes into the merged file in its form, converted from its own side's: the
// left file's encoding, 8-bit text in the code page (Windows-1252 here).
TEST_F(Output, EachLineIsWrittenInTheMergedFilesForm) {
    const Form forms[] = {EIGHT_BIT, UTF8_PLAIN, UTF8_MARK, UTF16LE, UTF16BE};
    const std::string eol = LINE_END;
    for (const Form target : forms) {
        for (const Form source : forms) {
            SCOPED_TRACE(testing::Message() << "target " << target << ", source " << source);
            load(SIDE_LEFT, "l.txt", stored(target, "d\xC3\xA9j\xC3\xA0 vu\nold\n"));
            load(SIDE_RIGHT, "r.txt",
                 stored(source,
                        "d\xC3\xA9j\xC3\xA0 vu\n\xC3\x9C"
                        "ber\n"));
            install_listing("2c2\n");
            choose_all_from(SIDE_RIGHT);
            EXPECT_EQ(merged_text(), stored(target, "d\xC3\xA9j\xC3\xA0 vu" + eol +
                                                        "\xC3\x9C"
                                                        "ber" +
                                                        eol));
        }
    }
    EXPECT_TRUE(reported_messages().empty());
}

// The fault seen: "Über" from a UTF-16 right file went into a Windows-1252 file as
// the two bytes of its UTF-8.
TEST_F(Output, Utf16LineGoesIntoAnEightBitFileInItsCodePage) {
    load(SIDE_LEFT, "l.txt", "d\xE9j\xE0 vu\ncommon\nUber\n");
    load(SIDE_RIGHT, "r.txt",
         stored(UTF16LE,
                "d\xC3\xA9j\xC3\xA0\ncommon\n\xC3\x9C"
                "ber\n"));
    install_listing("1c1\n3c3\n");
    choose_block(SIDE_LEFT, 0);
    choose_block(SIDE_RIGHT, 1);
    EXPECT_EQ(merged_text(), with_line_ends({"d\xE9j\xE0 vu", "common",
                                             "\xDC"
                                             "ber"}));
}

// A plain left file of ASCII alone is of either form: the right's lines go in as they are.
TEST_F(Output, AnAsciiLeftFileTakesTheRightFilesForm) {
    load(SIDE_LEFT, "l.txt", "keep\nold\n");
    load(SIDE_RIGHT, "r.txt", "keep\ncaf\xE9\n");
    install_listing("2c2\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), with_line_ends({"keep", "caf\xE9"}));
}

// A character with no place in the merged file's encoding, or bytes that are not what
// their side's form says, refuse the write before anything is written, naming the line.
TEST_F(Output, ALineWithoutBytesInTheMergedFileIsRefusedBeforeWriting) {
    struct Case {
        const char* what;
        std::string left, right;
        const char* line;
    };
    const Case cases[] = {
        {"Greek into Windows-1252", "caf\xE9\nold\nend\n",
         stored(UTF16LE, "caf\xC3\xA9\nx\n") + std::string("\xA9\x03m\0\n\0", 6), "3"},
        {"broken UTF-8 into UTF-16", stored(UTF16LE, "keep\nold\nend\n"),
         "keep\n\xD0\x9F\xFF\xD1\x80\nend\n", "2"},
        {"a byte Windows-1252 leaves undefined into UTF-8", "keep\nna\xC3\xAFve\nend\n",
         "keep\nx\x81y\nend\n", "2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        clear_reported_messages();
        load(SIDE_LEFT, "l.txt", c.left);
        load(SIDE_RIGHT, "r.txt", c.right);
        install_listing("2,3c2,3\n");
        choose_all_from(SIDE_RIGHT);
        const std::string target = dir.write("target.txt", "before");
        auto files = [this] {
            return std::distance(std::filesystem::directory_iterator(dir.path()),
                                 std::filesystem::directory_iterator());
        };
        const auto files_before = files();
        fake_platform().answers = {ANSWER_YES};
        EXPECT_EQ(write_merged(target.c_str()), -1);
        EXPECT_EQ(message_texts(),
                  (std::vector<std::string>{"Line " + std::string(c.line) +
                                                " of the merged text cannot be written in the "
                                                "merged file's encoding",
                                            "Unable to merge files"}));
        EXPECT_EQ(read_bytes(target), "before");
        EXPECT_EQ(files(), files_before);  // no pending file, no backup
    }
}

TEST_F(Output, RangesBeyondTheTextWarnOnceAndAreHeld) {
    install_listing("2c2,9\n< old\n---\n> new\n7,8c12\n< x\n---\n> y\n");
    choose_all_from(SIDE_RIGHT);
    // Block 1 lies past the left text: the left lines before it are held to the last.
    EXPECT_EQ(merged_text(), with_line_ends({"keep", "new", "tail", "tail"}));
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{
                  {"There was an error in file differences.\nPlease check the output file",
                   SEVERITY_ERROR}}));
    clear_reported_messages();
    merged_text();  // once per write, not once per process
    EXPECT_EQ(reported_messages().size(), 1u);
}

TEST_F(Output, OutputFileThatCannotBeOpened) {
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(write_merged(dir.file("no-dir/out.txt").c_str()), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Error opening output file"}));
    const std::string long_path = dir.path() + "/" + std::string(300, 'o');
    EXPECT_EQ(write_merged(long_path.c_str()), -1);
    EXPECT_EQ(reported_messages().size(), 2u);
}

TEST_F(Output, IdenticalFilesAreCopiedNotRewritten) {
    make_identical();
    std::string upper = left;
    for (char& c : upper) {
        c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    }
    EXPECT_EQ(write_merged(upper.c_str()), 0);  // the left input itself, any case
    EXPECT_EQ(write_merged(right.c_str()), 0);
    EXPECT_TRUE(fake_platform().questions.empty());
    EXPECT_EQ(read_bytes(right), lf_lines({"keep", "new", "tail"}));

    const std::string copy = dir.file("copy.txt");
    EXPECT_EQ(write_merged(copy.c_str()), 0);
    EXPECT_EQ(read_bytes(copy), read_bytes(left));  // a byte copy, not a rewrite
    EXPECT_TRUE(fake_platform().questions.empty());
}

TEST_F(Output, CopyAsksBeforeReplacing) {
    make_identical();
    const std::string dest = dir.write("dest.txt", "dest");
    fake_platform().answers = {ANSWER_NO, ANSWER_CANCEL, ANSWER_YES};
    EXPECT_EQ(copy_with_confirmation(left.c_str(), dest.c_str()), -1);
    EXPECT_TRUE(fake_platform().posted.empty());
    EXPECT_EQ(write_merged(dest.c_str()), 0);  // declined through Write: not a failure
    EXPECT_EQ(take_posted_request(), REQUEST_CANCEL);
    EXPECT_EQ(read_bytes(dest), "dest");
    EXPECT_EQ(copy_with_confirmation(left.c_str(), dest.c_str()), 0);
    EXPECT_EQ(read_bytes(dest), read_bytes(left));
    EXPECT_EQ(read_bytes(dir.file("dest.bak")), "dest");

    const AskedQuestion& q = fake_platform().questions.at(1);
    EXPECT_EQ(q.caption, "Confirm the operation");
    EXPECT_EQ(q.text,
              "Destination file " + dest + " already exists.\nReplace it with " + left + " ?");
    EXPECT_EQ(q.buttons, BUTTONS_YES_NO_CANCEL);
    EXPECT_EQ(copy_with_confirmation(dest.c_str(), dest.c_str()), 0);
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Output, FailedCopyOfIdenticalFilesIsAnError) {
    make_identical();
    std::remove(left.c_str());  // the document still names it
    EXPECT_EQ(copy_with_confirmation(left.c_str(), dir.file("x.txt").c_str()), 1);
    EXPECT_TRUE(reported_messages().empty());  // callers decide
    EXPECT_EQ(write_merged(dir.file("x.txt").c_str()), -1);
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{{"Error writing output file", SEVERITY_ERROR}}));
    EXPECT_EQ(copy_with_confirmation("", dir.file("y.txt").c_str()), 1);
    EXPECT_FALSE(exists(dir.file("y.txt")));
}

TEST_F(Output, PrinterPathInAnyCasePrints) {
    choose_block(SIDE_RIGHT, 0);
    EXPECT_EQ(write_merged("prn:"), 0);
    EXPECT_EQ(fake_platform().printed,
              (std::vector<PrintedLine>{{"keep\n", 0}, {"new\n", 1}, {"tail\n", 2}}));
    EXPECT_EQ(fake_platform().print_jobs_ended, 1);
    EXPECT_FALSE(exists("prn:"));

    make_identical();  // identical files print the left file
    fake_platform().printed.clear();
    EXPECT_EQ(write_merged("PRN:"), 0);
    EXPECT_EQ(fake_platform().printed.size(), 3u);

    fake_platform().printed.clear();
    fake_platform().print_start_result = -1;
    EXPECT_EQ(write_merged("PRN:"), -1);
    EXPECT_TRUE(fake_platform().printed.empty());
    fake_platform().print_start_result = 0;
    fake_platform().print_end_result = -1;
    EXPECT_EQ(write_merged("Prn:"), -1);
}

TEST_F(Output, PrintedLinesAreCharactersWhateverTheCharset) {
    load(SIDE_LEFT, "l.txt", lf_lines({"caf\xE9", "old"}));                   // 8-bit
    load(SIDE_RIGHT, "r.txt", lf_lines({"caf\xC3\xA9", "n\xC3\xA9w \xFF"}));  // UTF-8
    install_listing("1,2c1,2\n");
    choose_block(SIDE_LEFT, 0);
    EXPECT_EQ(write_merged("PRN:"), 0);
    EXPECT_EQ(fake_platform().printed,
              (std::vector<PrintedLine>{{"caf\xC3\xA9\n", 0}, {"old\n", 1}}));
    install_listing("1,2c1,2\n");
    choose_block(SIDE_RIGHT, 0);
    fake_platform().printed.clear();
    EXPECT_EQ(write_merged("PRN:"), 0);
    EXPECT_EQ(fake_platform().printed,
              (std::vector<PrintedLine>{{"caf\xC3\xA9\n", 0}, {"n\xC3\xA9w \xEF\xBF\xBD\n", 1}}));
}

TEST_F(Output, WriteCommandUsesTheSaveDialog) {
    choose_all_from(SIDE_LEFT);
    fake_platform().save_results = {std::nullopt, dir.file("a.txt"), dir.file("b.txt")};
    EXPECT_EQ(write_command(), -1);
    EXPECT_EQ(write_command(), 0);
    EXPECT_EQ(write_command(), 0);
    EXPECT_EQ(read_bytes(dir.file("b.txt")), LEFT_MERGED);
    EXPECT_EQ(fake_platform().save_dialogs, 3);
    EXPECT_EQ(merge_document.left.line_count, 3);  // a plain write keeps the document
}

TEST_F(Output, DirectoryModeWritesToTheTargetThenMovesOn) {
    merge_document.directory_mode = 1;
    EXPECT_EQ(write_command(), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Error #1"}));
    clear_reported_messages();

    const std::string target = dir.file("target.txt");
    ASSERT_TRUE(copy_path(directory_target_path, sizeof directory_target_path, target.c_str()));
    EXPECT_EQ(write_command(), 0);  // refused: unresolved; nothing moves on
    EXPECT_TRUE(fake_platform().posted.empty());
    EXPECT_EQ(merge_document.left.line_count, 3);

    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(write_command(), 0);
    EXPECT_EQ(read_bytes(target), RIGHT_MERGED);
    EXPECT_EQ(take_posted_request(), REQUEST_NEXT_PAIR);
    EXPECT_EQ(merge_document.left.line_count, 0);
    EXPECT_STREQ(merge_document.left.path, "");
    EXPECT_EQ(fake_platform().save_dialogs, 0);
}

// Keep line ends: each line as in the file it came from, a missing final line feed
// kept, and a last line that another line follows after all not run into it.
TEST_F(Output, KeptLineEndsComeFromEachLinesFile) {
    merge_document.keep_line_ends = 1;
    load(SIDE_LEFT, "left.txt", "keep\r\nold\r\ntail");
    load(SIDE_RIGHT, "right.txt", "keep\nnew\ntail\n");
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), "keep\r\nnew\ntail");
    install_listing("2c2\n< old\n---\n> new\n");
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), "keep\r\nold\r\ntail");
    merge_document.keep_line_ends = 0;
    EXPECT_EQ(merged_text(), with_line_ends({"keep", "old", "tail"}));

    merge_document.keep_line_ends = 1;
    load(SIDE_LEFT, "left.txt", "keep\r\nlast");
    load(SIDE_RIGHT, "right.txt", "keep\nlast\nnew\n");
    install_listing("2a3\n> new\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), "keep\r\nlast\r\nnew\n");
}

TEST_F(Output, KeptLineEndsInUtf16) {
    merge_document.keep_line_ends = 1;
    load(SIDE_LEFT, "left.txt", std::string("\xFF\xFEk\0\r\0\n\0o\0", 10));
    load(SIDE_RIGHT, "right.txt", "k\nn\n");
    install_listing("2c2\n< o\n---\n> n\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), std::string("\xFF\xFEk\0\r\0\n\0n\0\n\0", 12));
}

}  // namespace
