// A caller that holds a file's text lends it, so the engine compares what the caller
// shows even when the file changed since, and never reads it a second time.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/engine.h"
#include "tests/engine/engine_run.h"
#include "tests/support/temp_dir.h"

namespace {

// A text in a buffer with `spare` bytes after it, the spare bytes marked so that what
// the engine writes there shows.
struct Held {
    std::vector<char> bytes;
    std::size_t length;
    Held(const std::string& text, std::size_t spare)
        : bytes(text.begin(), text.end()), length(text.size()) {
        bytes.resize(text.size() + spare, '#');
    }
    LentText lend(const std::string& name) {
        LentText t;
        t.name = name;
        t.data = bytes.data();
        t.length = length;
        t.capacity = bytes.size();
        return t;
    }
    std::string text() const { return std::string(bytes.data(), length); }
};

struct LentRun {
    EngineRun run;
    std::string listing;
};

LentRun run_lent(std::vector<LentText> texts, const std::string& out, const std::string& p1,
                 const std::string& p2) {
    engine_lend_texts(std::move(texts));
    LentRun r{run_engine({"-o", out, p1, p2}), read_bytes(out)};
    engine_lend_texts({});
    return r;
}

TEST(LentText, IsComparedInsteadOfTheFile) {
    TempDir dir;
    const std::string p1 = dir.write("a.txt", "one\ntwo\nthree\n");
    const std::string p2 = dir.write("b.txt", "one\nTWO\nthree\n");
    const std::string out = dir.file("out.lst");
    // What the caller shows of a.txt: the file changed on disk after it was loaded.
    Held shown("one\nTWO\nthree\n", LENT_SPARE_BYTES);
    const LentRun r = run_lent({shown.lend(p1)}, out, p1, p2);
    EXPECT_EQ(r.run.result, 0);
    EXPECT_TRUE(r.run.messages.empty());
    EXPECT_EQ(shown.text(), "one\nTWO\nthree\n");

    // Both sides lent, the second without a final line feed: the engine completes it in
    // the spare bytes and leaves the text itself alone.
    Held left("a\nb\nc\n", LENT_SPARE_BYTES);
    Held right("a\nB\nc", LENT_SPARE_BYTES);
    const LentRun both = run_lent({left.lend(p1), right.lend(p2)}, out, p1, p2);
    EXPECT_EQ(both.run.result, 1);
    EXPECT_EQ(both.listing, on_disk("2,3c2,3\n< b\n< c\n---\n> B\n> cNo newline at end of file\n"));
    EXPECT_EQ(right.text(), "a\nB\nc");
}

TEST(LentText, IsNotTakenWhenItCannotBeUsed) {
    TempDir dir;
    const std::string p1 = dir.write("a.txt", "x\ny\n");
    const std::string p2 = dir.write("b.txt", "x\ny\n");
    const std::string out = dir.file("out.lst");
    // Too few spare bytes, another name, another spelling of the name: the file is read.
    Held tight("x\nchanged\n", LENT_SPARE_BYTES - 1);
    EXPECT_EQ(run_lent({tight.lend(p1)}, out, p1, p2).run.result, 0);
    EXPECT_EQ(tight.bytes[tight.length], '#');
    Held other("x\nchanged\n", LENT_SPARE_BYTES);
    EXPECT_EQ(run_lent({other.lend(dir.file("c.txt"))}, out, p1, p2).run.result, 0);
    EXPECT_EQ(run_lent({other.lend(dir.file("./a.txt"))}, out, p1, p2).run.result, 0);
    // Once the loan ends, the file is read again.
    EXPECT_EQ(run_lent({other.lend(p1)}, out, p1, p2).run.result, 1);
    EXPECT_EQ(run_engine({"-o", out, p1, p2}).result, 0);
}

TEST(LentText, FileAsStoredStillDecidesBinary) {
    TempDir dir;
    const std::string p1 = dir.write("a.bin", std::string("a\0b\n", 4));
    const std::string p2 = dir.write("b.txt", "a\n");
    const std::string out = dir.file("out.lst");
    Held shown("a\n", LENT_SPARE_BYTES);
    const LentRun r = run_lent({shown.lend(p1)}, out, p1, p2);
    // The lent text equals the other file: only the stored bytes make the pair differ.
    EXPECT_EQ(r.run.result, 1);
    EXPECT_EQ(r.listing.find("---"), std::string::npos);
}

}  // namespace
