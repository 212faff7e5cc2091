#include "common/textio.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "tests/support/temp_dir.h"

TEST(TextMode, DropsCarriageReturnsAndStopsAtCtrlZ) {
    std::string data = "a\r\nb\rc\r\n\x1aignored\n";
    bool ended = false;
    const std::size_t n = text_mode_filter(data.data(), data.size(), &ended);
    EXPECT_EQ(std::string(data.data(), n), "a\nbc\n");
    EXPECT_TRUE(ended);
}

TEST(TextMode, TellsWhatAReaderCouldNotSee) {
    struct Case {
        std::string data;
        bool after_eof, lone_cr;
    };
    const Case cases[] = {
        {"a\r\nb\r\n", false, false},  // CR LF line ends lose nothing visible
        {"a\nb\n\x1a", false, false},  // a Ctrl-Z as the last byte ends nothing
        {"a\n\x1a\x1a", true, false},  // ...but anything after it is dropped
        {"a\x1a"
         "b",
         true, false},
        {"a\rb\rc\r", false, true},  // old-style line ends would join the lines
        {"a\r", false, true},        // a CR at the very end
        {"a\r\x1a", false, true},    // a CR right before the end of the text
        {"a\r\r\n", false, true},    // the first CR has no line feed after it
        {"a\rb\x1azz", true, true},
    };
    for (const Case& c : cases) {
        std::string data = c.data;
        TextModeLoss loss;
        text_mode_filter(data.data(), data.size(), nullptr, &loss);
        EXPECT_EQ(loss.data_after_eof, c.after_eof) << c.data;
        EXPECT_EQ(loss.lone_carriage_returns, c.lone_cr) << c.data;
    }
}

TEST(TextMode, ReadWholeFileMatchesFilter) {
    TempDir dir;
    const std::string p = dir.write("f.txt",
                                    "x\r\ny\r\n\x1a"
                                    "z");
    std::string text;
    ASSERT_EQ(read_text_file(p.c_str(), text), 0);
    EXPECT_EQ(text, "x\ny\n");
    EXPECT_EQ(read_text_file(dir.file("missing").c_str(), text), -1);
}

TEST(TextMode, WriterUsesPlatformLineEnd) {
    TempDir dir;
    const std::string p = dir.file("out.txt");
    FILE* f = open_text_output(p.c_str());
    ASSERT_NE(f, nullptr);
    std::fputs("one\ntwo\n", f);
    std::fclose(f);
    EXPECT_EQ(read_bytes(p), std::string("one") + LINE_END + "two" + LINE_END);
}

TEST(TextLineReader, ReadsLinesOfAnyLengthAcrossBlocksKeepingTheirStartWhenAsked) {
    TempDir dir;
    const std::string long_line(200000, 'q');
    const std::string p = dir.write("lines.txt", "first\r\n" + long_line + "\n\nlast");
    // Both modes (the second reads past a Ctrl-Z, as a listing does), whole lines or
    // only their first `keep` bytes.
    for (bool stop_at_ctrl_z : {true, false}) {
        for (std::size_t keep : {std::string::npos, std::size_t{3}, std::size_t{70000}}) {
            TextLineReader reader;
            ASSERT_EQ(reader.open(p.c_str(), stop_at_ctrl_z), 0);
            std::vector<std::string> lines;
            std::vector<bool> newlines;
            std::string line;
            bool nl = false;
            while (reader.next_line(line, &nl, keep)) {
                lines.push_back(line);
                newlines.push_back(nl);
            }
            const std::vector<std::string> expected = {"first", long_line, "", "last"};
            ASSERT_EQ(lines.size(), expected.size());
            for (std::size_t i = 0; i < lines.size(); ++i) {
                EXPECT_TRUE(lines[i] == expected[i].substr(0, keep)) << i << " keep " << keep;
            }
            EXPECT_EQ(newlines, (std::vector<bool>{true, true, true, false}));
            EXPECT_FALSE(reader.failed());
        }
    }
}

TEST(TextLineReader, EmptyFileHasNoLinesAndMissingFileFails) {
    TempDir dir;
    TextLineReader reader;
    ASSERT_EQ(reader.open(dir.write("e", "").c_str()), 0);
    std::string line;
    EXPECT_FALSE(reader.next_line(line));
    EXPECT_EQ(reader.open(dir.file("nope").c_str()), -1);
}
