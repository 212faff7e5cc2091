#include <algorithm>
#include <cstdint>
#include <cstring>
#include <functional>
#include <random>
#include <string>
#include <utility>

#include "common/fresh_pages.h"
#include "merge/blocks.h"
#include "merge/conflict_mode.h"
#include "merge/document.h"
#include "merge/line_ends.h"
#include "tests/merge/merge_test_util.h"
#include "tests/support/progress_recorder.h"

namespace {

std::vector<std::string> side_lines(const MergeSide& s) {
    std::vector<std::string> out;
    for (int32_t i = 0; i < s.line_count; ++i) {
        out.emplace_back(line_text(s, i));
    }
    return out;
}

using Document = MergeTest;

TEST_F(Document, LineEndsAndMissingFinalLineFeedGiveTheSameLines) {
    load(SIDE_LEFT, "lf.txt", "one\ntwo\n\nfour\n");
    const auto lf = side_lines(merge_document.left);
    load(SIDE_RIGHT, "crlf.txt", "one\r\ntwo\r\n\r\nfour");
    EXPECT_EQ(lf, (std::vector<std::string>{"one", "two", "", "four"}));
    EXPECT_EQ(side_lines(merge_document.right), lf);
}

// Texts drawn from the bytes a load treats apart, some longer than the steps in which
// line starts are found, and some with a line longer than a step.
std::string drawn_text(std::mt19937& random) {
    static const char bytes[] = {'a', 'b', '\n', '\n', '\r', '\0', '\x1a', '\xc3', '\xa9', '\xff'};
    std::string text;
    const std::size_t size = random() % 4 == 0 ? 300000 + random() % 300000 : random() % 40;
    const bool long_line = random() % 3 == 0;
    // Rare carriage returns, Ctrl-Zs and high bytes, so that many texts hold none.
    const unsigned rare = random() % 2 == 0 ? 0 : 1 + random() % 200;
    while (text.size() < size) {
        if (long_line && text.size() == size / 2) {
            text.append(400000, 'x');
        }
        const unsigned pick = random() % 1000;
        text += pick < rare ? bytes[4 + random() % 6] : bytes[random() % 4];
    }
    return text;
}

// What a load in text mode gives: the text up to a Ctrl-Z, split at line feeds, without
// carriage returns; a line ends in CR LF when a carriage return stood before its feed.
struct ReadLines {
    std::vector<std::string> lines;
    std::vector<LineEnd> ends;
};
ReadLines read_lines(std::string text) {
    text = text.substr(0, text.find('\x1a'));
    ReadLines out;
    std::string line;
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n') {
            out.lines.push_back(line);
            out.ends.push_back(i > 0 && text[i - 1] == '\r' ? ENDS_CRLF : ENDS_LF);
            line.clear();
        } else if (text[i] != '\r') {
            line += text[i];
        }
    }
    if (!text.empty() && text.back() != '\n') {
        out.lines.push_back(line);
        out.ends.push_back(ENDS_NONE);
    }
    return out;
}

// Brings in by writing over every byte it is given: a read that goes through a buffer
// of its own must still put each byte of the file in its place.
void scribble(void* block, std::size_t bytes) {
    std::memset(block, 0xA5, bytes);
}

// Each text is loaded as it is read on the window's thread, through a buffer of its
// own (where pages are brought in), or on a thread of its own beside.
TEST_F(Document, LoadedLinesAndEndsAreTheTextsInAnyOrderOfAsking) {
    std::mt19937 random(20261210);
    for (int round = 0; round < 30; ++round) {
        const std::string bytes = drawn_text(random);
        bring_in_pages = round % 3 == 0 ? nullptr : scribble;
        if (round % 3 == 2) {
            const std::string path = dir.write("drawn.txt", bytes);
            start_read_beside(path, SIDE_LEFT);
            ASSERT_EQ(load_side(path.c_str(), SIDE_LEFT), 0);
        } else {
            load(SIDE_LEFT, "drawn.txt", bytes);
        }
        bring_in_pages = nullptr;
        const MergeSide& side = merge_document.left;
        const ReadLines expected = read_lines(bytes);
        ASSERT_EQ(side.line_count, static_cast<int32_t>(expected.lines.size()));
        // The last line first, then the rest from a drawn line on, around to it.
        const int32_t n = side.line_count;
        const int32_t first = n > 0 ? static_cast<int32_t>(random() % static_cast<unsigned>(n)) : 0;
        for (int32_t k = -1; k < n; ++k) {
            const int32_t i = k < 0 ? n - 1 : (first + k) % n;
            if (i < 0) {
                continue;
            }
            ASSERT_EQ(line_text(side, i), expected.lines[static_cast<std::size_t>(i)]) << i;
            ASSERT_EQ(line_end_of(side, i), expected.ends[static_cast<std::size_t>(i)]) << i;
        }
        const std::string kept = bytes.substr(0, bytes.find('\x1a'));
        std::string shown;
        std::remove_copy(kept.begin(), kept.end(), std::back_inserter(shown), '\r');
        EXPECT_EQ(side.charset, detect_charset(shown));
    }
}

TEST(TextBytes, OnePassFindsWhatEachScanFinds) {
    std::mt19937 random(7);
    for (int round = 0; round < 150; ++round) {
        const std::string text = drawn_text(random);
        const std::size_t from = text.empty() ? 0 : random() % (text.size() % 64 + 1);
        const std::string_view part = std::string_view(text).substr(from);
        const TextBytes found = scan_text_bytes(part.data(), part.size());
        ASSERT_EQ(found.line_feeds,
                  static_cast<std::size_t>(std::count(part.begin(), part.end(), '\n')));
        ASSERT_EQ(found.carriage_returns, part.find('\r') != std::string_view::npos);
        ASSERT_EQ(found.ctrl_z, part.find('\x1a') != std::string_view::npos);
        ASSERT_EQ(found.beyond_ascii, !is_ascii(part));
    }
}

TEST_F(Document, CtrlZEndsTheTextAndHighBytesBelongToLines) {
    load(SIDE_LEFT, "z.txt",
         "a\xff\nb\x1a"
         "c\nd\n");
    EXPECT_EQ(side_lines(merge_document.left), (std::vector<std::string>{"a\xff", "b"}));
}

TEST_F(Document, NulBytesStayInTheirLines) {
    load(SIDE_LEFT, "zeros.txt", std::string("a\0b\n\0\n\n\0", 8));
    EXPECT_EQ(side_lines(merge_document.left),
              (std::vector<std::string>{std::string("a\0b", 3), std::string(1, '\0'), "",
                                        std::string(1, '\0')}));
    EXPECT_TRUE(lacks_final_newline(merge_document.left));
}

TEST_F(Document, Utf16AndMarkedUtf8FilesLoadAsUtf8Lines) {
    const std::vector<std::string> expected = {"a\xC3\xA9", "", "z"};
    load(SIDE_LEFT, "le.txt",
         std::string("\xFF\xFE"
                     "a\0\xE9\0\r\0\n\0\r\0\n\0z\0\n\0",
                     18));
    EXPECT_EQ(side_lines(merge_document.left), expected);
    EXPECT_EQ(merge_document.left.encoding, ENCODING_UTF16LE);
    EXPECT_FALSE(lacks_final_newline(merge_document.left));
    load(SIDE_RIGHT, "be.txt", std::string("\xFE\xFF\0a\0\xE9\0\n\0\n\0z", 12));
    EXPECT_EQ(side_lines(merge_document.right), expected);
    EXPECT_EQ(merge_document.right.encoding, ENCODING_UTF16BE);
    EXPECT_TRUE(lacks_final_newline(merge_document.right));
    load(SIDE_LEFT, "bom.txt",
         "\xEF\xBB\xBF"
         "a\xC3\xA9\r\n\nz\n");
    EXPECT_EQ(side_lines(merge_document.left), expected);  // the mark is not part of line 1
    EXPECT_EQ(merge_document.left.encoding, ENCODING_UTF8_BOM);
    load(SIDE_LEFT, "only-mark.txt", "\xFF\xFE");
    EXPECT_EQ(merge_document.left.line_count, 0);
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Document, EachFileIsShownAsUtf8OrAs8BitTextDecidedAtLoad) {
    const struct {
        std::string bytes;
        TextEncoding encoding;
        DisplayCharset charset;
    } cases[] = {
        {"plain\n", ENCODING_BYTES, CHARSET_UTF8},
        {"caf\xC3\xA9\n\xD0\x9F\xD1\x80\xD0\xB8\n", ENCODING_BYTES, CHARSET_UTF8},
        {"\xEF\xBB\xBF"
         "caf\xC3\xA9\n",
         ENCODING_UTF8_BOM, CHARSET_UTF8},
        // A marked UTF-8 file stays UTF-8 whatever its bytes.
        {"\xEF\xBB\xBF"
         "caf\xE9\n",
         ENCODING_UTF8_BOM, CHARSET_UTF8},
        {std::string("\xFF\xFE"
                     "a\0\n\0",
                     6),
         ENCODING_UTF16LE, CHARSET_UTF8},
        {"caf\xE9\nna\xEFve\n", ENCODING_BYTES, CHARSET_8BIT},
        // Mostly UTF-8, a broken byte: UTF-8, the byte shown as U+FFFD.
        {"\xD0\x9F\xD1\x80\xD0\xB8\n\xFF\n", ENCODING_BYTES, CHARSET_UTF8},
    };
    for (const auto& c : cases) {
        load(SIDE_LEFT, "f.txt", c.bytes);
        EXPECT_EQ(merge_document.left.encoding, c.encoding) << c.bytes;
        EXPECT_EQ(merge_document.left.charset, c.charset) << c.bytes;
    }
    reset_document();
    EXPECT_EQ(merge_document.left.charset, CHARSET_UTF8);
}

TEST_F(Document, InvalidUtf16IsRefusedAndTheSideKept) {
    load(SIDE_LEFT, "keep.txt", lf_lines({"kept"}));
    for (const std::string& bytes :
         {std::string("\xFF\xFE"
                      "a\0b",
                      5),
          std::string("\xFF\xFE\x3D\xD8\n\0", 6), std::string("\xFE\xFF\xDC\x00", 4)}) {
        clear_reported_messages();
        const std::string path = dir.write("bad.txt", bytes);
        EXPECT_EQ(load_side(path.c_str(), SIDE_LEFT), -1);
        EXPECT_EQ(reported_messages(),
                  (std::vector<ReportedMessage>{
                      {"Invalid UTF-16 text in file " + path, SEVERITY_ERROR}}));
        EXPECT_EQ(side_lines(merge_document.left), (std::vector<std::string>{"kept"}));
    }
}

TEST_F(Document, TextModeLossWarnsOnceNamingTheFile) {
    const std::string cr = load(SIDE_LEFT, "cr.txt", "a\rb\rc\r");
    EXPECT_EQ(side_lines(merge_document.left), (std::vector<std::string>{"abc"}));
    const std::string z = load(SIDE_RIGHT, "z.txt",
                               "a\n\x1a"
                               "b\n");
    const std::string both = load(SIDE_RIGHT, "both.txt",
                                  "a\rb\n\x1a"
                                  "c");
    load(SIDE_RIGHT, "fine.txt", "a\r\nb\r\n\x1a");  // CR LF and a final Ctrl-Z: nothing lost
    const std::string lone_cr = "Carriage returns not followed by a line feed in ";
    const std::string after_z = "The data after the Ctrl-Z character in ";
    EXPECT_EQ(reported_messages(),
              (std::vector<ReportedMessage>{
                  {lone_cr + cr + " are ignored", SEVERITY_WARNING},
                  {after_z + z + " is ignored", SEVERITY_WARNING},
                  {after_z + both + " is ignored\n" + lone_cr + both + " are ignored",
                   SEVERITY_WARNING}}));
    EXPECT_EQ(merge_document.right.line_count, 2);  // the loads went on
}

TEST_F(Document, EmptyFileLoadsWithNoLines) {
    load(SIDE_LEFT, "empty.txt", "");
    EXPECT_EQ(merge_document.left.line_count, 0);
    EXPECT_EQ(fake_platform().scroll_max, 0);
}

TEST_F(Document, LoadRecordsPathDropsBlocksAndRefreshesViews) {
    const std::string left = load(SIDE_LEFT, "l.txt", lf_lines({"a", "b", "c"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a", "c"}));
    install_listing("2d1\n< b\n");
    merge_document.top_row = 2;
    merge_document.left.first_column = 7;
    reset_fake_platform();

    load(SIDE_LEFT, "l2.txt", lf_lines({"x", "y", "z", "w"}));
    const MergeDocument& doc = merge_document;
    EXPECT_EQ(std::string(doc.left.path), dir.file("l2.txt"));
    EXPECT_EQ(doc.left.line_count, 4);
    EXPECT_EQ(doc.left.first_column, 7u);
    EXPECT_FALSE(doc.left.own_blocks || doc.right.own_blocks || doc.left.filler_blocks ||
                 doc.right.filler_blocks);
    EXPECT_EQ(doc.top_row, 0);
    EXPECT_EQ(doc.not_compared, 1);
    EXPECT_EQ(doc.total_rows, 4);
    EXPECT_EQ(
        fake_platform().calls,
        (std::vector<std::string>{"scroll_range 1 4", "repaint_title left", "repaint_position_bar",
                                  "scroll_position 1", "repaint_pane left", "repaint_pane right"}));
    (void)left;
}

TEST_F(Document, FailedLoadsLeaveTheSideAsItWas) {
    const std::string kept = load(SIDE_LEFT, "keep.txt", lf_lines({"kept"}));
    reset_fake_platform();

    // Named, whether the file is missing or there and cannot be opened (a directory).
    EXPECT_EQ(load_side(dir.file("missing.txt").c_str(), SIDE_LEFT), -1);
    EXPECT_EQ(load_side(dir.path().c_str(), SIDE_LEFT), -1);
    EXPECT_EQ(load_conflict_file(dir.path().c_str()), -1);
    EXPECT_EQ(message_texts(),
              (std::vector<std::string>{"Unable to open file " + dir.file("missing.txt"),
                                        "Unable to open file " + dir.path(),
                                        "Unable to open file " + dir.path()}));
    EXPECT_EQ(reported_messages()[0].severity, SEVERITY_ERROR);

    clear_reported_messages();
    merge_simulated_memory_limit = 8;
    dir.write("big.txt", std::string(100, 'x') + "\n");
    EXPECT_EQ(load_side(dir.file("big.txt").c_str(), SIDE_LEFT), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Not enough memory"}));

    // A long path is refused whole, never cut to a name that could exist.
    clear_reported_messages();
    merge_simulated_memory_limit = 0;
    const std::string long_path = dir.path() + "/" + std::string(300, 'n');
    EXPECT_EQ(load_side(long_path.c_str(), SIDE_LEFT), -1);
    ASSERT_EQ(reported_messages().size(), 1u);
    EXPECT_NE(reported_messages()[0].text.find("259"), std::string::npos);

    EXPECT_EQ(std::string(merge_document.left.path), kept);
    EXPECT_EQ(side_lines(merge_document.left), (std::vector<std::string>{"kept"}));
    EXPECT_TRUE(fake_platform().calls.empty());
}

TEST_F(Document, LineArrayRefusalIsOutOfMemoryToo) {
    // 4000 one-byte lines: the text fits the limit, the pointer array does not.
    std::string many;
    for (int i = 0; i < 4000; ++i) {
        many += "\n";
    }
    dir.write("many.txt", many);
    merge_simulated_memory_limit = 8000;
    EXPECT_EQ(load_side(dir.file("many.txt").c_str(), SIDE_RIGHT), -1);
    EXPECT_EQ(message_texts(), (std::vector<std::string>{"Not enough memory"}));
    EXPECT_EQ(merge_document.right.line_count, 0);
}

TEST_F(Document, InputPathTriesTheNameThenTheDirectory) {
    const std::string in = dir.write("in.txt", "x\n");
    EXPECT_EQ(input_path("no-such-file-here.txt", ""), "");
    EXPECT_EQ(input_path("no-such-file-here.txt", nullptr), "");
    EXPECT_EQ(input_path("in.txt", dir.path().c_str()), in);
    EXPECT_EQ(input_path(in.c_str(), "elsewhere"), in);  // a name that exists wins
    EXPECT_EQ(input_path("absent.txt", dir.path().c_str()), dir.file("absent.txt"));
    EXPECT_TRUE(reported_messages().empty());
}

TEST_F(Document, ResetEmptiesEverything) {
    load(SIDE_LEFT, "l.txt", lf_lines({"a", "b"}));
    load(SIDE_RIGHT, "r.txt", lf_lines({"a"}));
    install_listing("2d1\n< b\n");
    reset_fake_platform();
    reset_document();
    const MergeDocument& doc = merge_document;
    EXPECT_EQ(doc.left.line_count + doc.right.line_count + doc.total_rows + doc.top_row, 0);
    EXPECT_EQ(doc.not_compared, 0);
    EXPECT_STREQ(doc.left.path, "");
    EXPECT_STREQ(doc.right.path, "");
    EXPECT_TRUE(doc.left.lines.empty() && !doc.left.text && !doc.right.own_blocks);
    EXPECT_EQ(count_calls("repaint_title left") + count_calls("repaint_title right"), 2);
    EXPECT_EQ(fake_platform().scroll_position, 1);
}

}  // namespace

namespace {

std::vector<std::string> lines_of(Side side) {
    return side_lines(side == SIDE_LEFT ? merge_document.left : merge_document.right);
}

// A text read ahead is taken only for its own path on its own side, and only when
// reading it showed nothing: the second load of each case finds the file changed
// since it was read ahead, so its lines tell which text was taken.
TEST_F(Document, TextsReadAheadAreTakenOnlyForTheirPathAndSide) {
    const std::string l = dir.write("l.txt", "l1\nl2\n");
    const std::string r = dir.write("r.txt", "r1\n");
    start_read_ahead(l, r);
    ASSERT_EQ(load_side(l.c_str(), SIDE_LEFT), 0);
    TempDir::write_at(r, "changed\n");
    ASSERT_EQ(load_side(r.c_str(), SIDE_RIGHT), 0);
    EXPECT_EQ(lines_of(SIDE_LEFT), (std::vector<std::string>{"l1", "l2"}));
    EXPECT_EQ(lines_of(SIDE_RIGHT), (std::vector<std::string>{"r1"}));

    start_read_ahead(l, r);
    ASSERT_EQ(load_side(r.c_str(), SIDE_LEFT), 0);  // the right file on the left
    TempDir::write_at(l, "new\n");
    ASSERT_EQ(load_side(l.c_str(), SIDE_RIGHT), 0);
    EXPECT_EQ(lines_of(SIDE_LEFT), (std::vector<std::string>{"changed"}));
    EXPECT_EQ(lines_of(SIDE_RIGHT), (std::vector<std::string>{"new"}));

    start_read_ahead(l, r);
    end_read_ahead();
    TempDir::write_at(l, "newer\n");
    ASSERT_EQ(load_side(l.c_str(), SIDE_LEFT), 0);
    EXPECT_EQ(lines_of(SIDE_LEFT), (std::vector<std::string>{"newer"}));
    EXPECT_TRUE(reported_messages().empty());
}

// What reading ahead, or beside, meets is shown once, by the load that reads the file
// again; a missing file shows nothing until it is loaded.
TEST_F(Document, ReadingAheadShowsNothingItself) {
    const std::string cr = dir.write("cr.txt", "a\rb\n");
    const std::string missing = dir.file("missing.txt");
    const std::function<void()> starts[] = {
        [&] { start_read_ahead(missing, cr); },
        [&] {
            start_read_beside(missing, SIDE_LEFT);
            start_read_beside(cr, SIDE_RIGHT);
        },
    };
    for (const auto& start : starts) {
        clear_reported_messages();
        start();
        end_read_ahead();
        EXPECT_TRUE(reported_messages().empty());
        start();
        ASSERT_EQ(load_side(cr.c_str(), SIDE_RIGHT), 0);
        EXPECT_EQ(lines_of(SIDE_RIGHT), (std::vector<std::string>{"ab"}));
        EXPECT_EQ(reported_messages(),
                  (std::vector<ReportedMessage>{
                      {"Carriage returns not followed by a line feed in " + cr + " are ignored",
                       SEVERITY_WARNING}}));
        EXPECT_EQ(load_side(missing.c_str(), SIDE_LEFT), -1);
        EXPECT_EQ(reported_messages().size(), 2u);
        end_read_ahead();
    }
}

// A stop while a load waits for the reads beside ends both, at once and silently, and
// the loads of both sides leave the document as it was. The wait shows both reads'
// bytes together (a missing file's as none).
TEST_F(Document, AStopWhileAReadBesideIsAwaitedEndsBothReads) {
    load(SIDE_LEFT, "old.txt", "old\n");
    const std::string r = dir.write("r.txt", "r\n");
    const std::pair<std::string, std::uint64_t> lefts[] = {
        {dir.write("l.txt", std::string(300000, 'l') + "\n"), 300001u + 2u},
        {dir.file("missing.txt"), 2u}};
    for (const auto& [l, total] : lefts) {
        start_read_beside(l, SIDE_LEFT);
        start_read_beside(r, SIDE_RIGHT);
        ProgressRecorder recorder(1);
        const ProgressScope both("Loading");
        EXPECT_EQ(load_side(r.c_str(), SIDE_RIGHT), -1);
        EXPECT_EQ(load_side(l.c_str(), SIDE_LEFT), -1);
        ASSERT_EQ(recorder.polls.size(), 1u);
        EXPECT_EQ(recorder.polls[0].activity, "Loading");
        EXPECT_EQ(recorder.polls[0].total, total);
    }
    EXPECT_EQ(lines_of(SIDE_LEFT), (std::vector<std::string>{"old"}));
    EXPECT_STREQ(merge_document.right.path, "");
    EXPECT_TRUE(reported_messages().empty());
}

}  // namespace
