// Large files are mapped rather than read. A mapping must give the same listings as
// reading, and a file that another program shortens while it is mapped must neither
// end the process nor pass for a good comparison.

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "tests/engine/engine_run.h"
#include "tests/engine/property_support.h"

namespace {

constexpr std::size_t MAPPED_BYTES = std::size_t{1} << 20;

std::string big_text(int seed) {
    std::string text;
    for (int i = 0; text.size() < 3 * MAPPED_BYTES; ++i) {
        text += "line " + std::to_string(i % 997 == 0 ? i * seed : i) + " of the mapped file\n";
    }
    return text;
}

std::string shortened_file;
std::uintmax_t shortened_to = 0;

void shorten(const char* name) {
    if (shortened_file == name) {
        std::filesystem::resize_file(name, shortened_to);
    }
}

TEST(MappedInput, BigPairListsAsWhenRead) {
    TempDir dir;
    const std::string p1 = dir.write("a.txt", big_text(1));
    const std::string p2 = dir.write("b.txt", big_text(3));
    const std::string out = dir.file("out.lst");
    const EngineRun mapped = run_engine({"-a", "-o", out, p1, p2});
    const std::string mapped_listing = read_bytes(out);
    engine_set_fast_paths(false);
    const EngineRun read = run_engine({"-a", "-o", out, p1, p2});
    engine_set_fast_paths(true);
    EXPECT_EQ(mapped.result, 1);
    EXPECT_EQ(mapped.result, read.result);
    EXPECT_EQ(mapped_listing, read_bytes(out));
    EXPECT_TRUE(mapped.messages.empty());
}

// Large files below the mapping threshold are read, both at once and in stretches:
// the carriage returns (one ending a stretch) and what follows a Ctrl-Z are dropped as
// when a file without them is read alone.
TEST(MappedInput, BigPairReadAtOnceListsAsItsTextModeText) {
    TempDir dir;
    const std::string plain = big_text(1);
    // Appended byte by byte: GCC 12 takes inserts into a long string for overlaps.
    std::string crlf;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        // The first block read (8 KiB) and one stretch (256 KiB) end at a lone one.
        if (plain[i] == '\n' || crlf.size() == 8192 + (std::size_t{1} << 18) - 1) {
            crlf += '\r';
        }
        crlf += plain[i];
    }
    const std::string p1 = dir.write("a.txt", crlf);
    const std::string p2 = dir.write("b.txt", big_text(3) + "\x1a" + "hidden\n");
    const std::string out = dir.file("out.lst");
    engine_set_mapping(std::size_t{1} << 28, nullptr);
    const EngineRun at_once = run_engine({"-o", out, p1, p2});
    const std::string at_once_listing = read_bytes(out);
    const std::string p1_plain = dir.write("a.txt", plain);
    const std::string p2_plain = dir.write("b.txt", big_text(3));
    engine_set_fast_paths(false);
    const EngineRun in_turn = run_engine({"-o", out, p1_plain, p2_plain});
    engine_set_fast_paths(true);
    engine_set_mapping(MAPPED_BYTES, nullptr);
    EXPECT_EQ(at_once.result, 1);
    EXPECT_EQ(at_once.result, in_turn.result);
    EXPECT_EQ(at_once_listing, read_bytes(out));
}

TEST(MappedInput, FileShortenedWhileMappedIsReportedAsTrouble) {
#ifndef __linux__
    GTEST_SKIP() << "files are mapped on Linux only";
#endif
    TempDir dir;
    const std::string out = dir.file("out.lst");
    // Cut to nothing, inside a page, and at a page's end; first file and second.
    for (const std::uintmax_t cut :
         {std::uintmax_t{0}, std::uintmax_t{MAPPED_BYTES + 17}, std::uintmax_t{2 * MAPPED_BYTES}}) {
        for (int victim = 0; victim < 2; ++victim) {
            const std::string p1 = dir.write("a.txt", big_text(1));
            const std::string p2 = dir.write("b.txt", big_text(3));
            shortened_file = victim == 0 ? p1 : p2;
            shortened_to = cut;
            engine_set_mapping(MAPPED_BYTES, shorten);
            const EngineRun run = run_engine({"-a", "-s", "-w", "-o", out, p1, p2});
            engine_set_mapping(MAPPED_BYTES, nullptr);
            const std::string what =
                "cut at " + std::to_string(cut) + " of file " + std::to_string(victim + 1);
            EXPECT_EQ(run.result, 2) << what;
            const ReportedMessage expected =
                error_box("File " + shortened_file + " was shortened while it was compared");
            EXPECT_NE(std::find(run.messages.begin(), run.messages.end(), expected),
                      run.messages.end())
                << what;
        }
    }
}

}  // namespace
