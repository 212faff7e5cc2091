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

TEST_F(Output, EightBitAndBrokenBytesAreWrittenBackAsRead) {
    // Windows-1252 left, UTF-8 with a broken byte right: shown differently, written as
    // the files hold them.
    load(SIDE_LEFT, "l.txt", lf_lines({"caf\xE9", "na\xEFve \xA0", "same"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"caf\xC3\xA9", "\xD0\x9F\xFF\xD1\x80", "same"}));
    ASSERT_EQ(merge_document.left.charset, CHARSET_8BIT);
    ASSERT_EQ(merge_document.right.charset, CHARSET_UTF8);
    install_listing("1,2c1,2\n");
    choose_all_from(SIDE_LEFT);
    EXPECT_EQ(merged_text(), with_line_ends({"caf\xE9", "na\xEFve \xA0", "same"}));
    install_listing("1,2c1,2\n");
    choose_all_from(SIDE_RIGHT);
    EXPECT_EQ(merged_text(), with_line_ends({"caf\xC3\xA9", "\xD0\x9F\xFF\xD1\x80", "same"}));
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Output, BytesThatAreNotUtf8AreNotForcedIntoUtf16) {
    load(SIDE_LEFT, "l16.txt", "\xFF\xFE" + le("keep\nold\n"));
    load(SIDE_RIGHT, "latin1.txt", "keep\ncaf\xE9\n");
    install_listing("2c2\n< old\n---\n> caf\xE9\n");
    choose_all_from(SIDE_RIGHT);
    const std::string target = dir.write("target.txt", "before");
    fake_platform().answers = {ANSWER_YES};
    EXPECT_EQ(write_merged(target.c_str()), -1);
    EXPECT_EQ(message_texts(),
              (std::vector<std::string>{
                  "Line 2 of the merged text is not valid UTF-8 and cannot be written as UTF-16",
                  "Unable to merge files"}));
    EXPECT_EQ(read_bytes(target), "before");
    EXPECT_FALSE(exists(dir.file("target.bak")));
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
