// The engine's progress and its stop: a hard pair (lines drawn from four) reports
// progress that only grows, and a stop ends the run with nothing shown.
#include <gtest/gtest.h>

#include <random>
#include <string>

#include "tests/engine/engine_run.h"
#include "tests/support/progress_recorder.h"

namespace {

// Lines drawn at random from "a" to "d": the search's worst shape.
std::string four_symbols(unsigned seed, int lines) {
    std::mt19937 random(seed);
    std::string text;
    for (int i = 0; i < lines; ++i) {
        text += static_cast<char>('a' + random() % 4);
        text += '\n';
    }
    return text;
}

class EngineProgress : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("a", four_symbols(1, 200000));
        dir.write("b", four_symbols(2, 200000));
    }
    EngineRun compare() {
        return run_engine({"-o", dir.file("listing"), dir.file("a"), dir.file("b")});
    }
    TempDir dir;
};

TEST_F(EngineProgress, GrowsToTheWholeAndIsStoppedSilently) {
    {
        ProgressRecorder recorder;
        const ProgressScope work("Comparing");
        EXPECT_EQ(compare().result, 1);
        ASSERT_GT(recorder.polls.size(), 3u);
        std::uint64_t last = 0;
        for (const ProgressPoll& p : recorder.polls) {
            EXPECT_EQ(p.total, 1000u);
            EXPECT_GE(p.done, last);
            EXPECT_LE(p.done, 1000u);
            last = p.done;
        }
        EXPECT_GT(last, 200u);  // the search reported, not only the classifying
    }
    for (const int stop_at : {1, 3}) {
        ProgressRecorder recorder(stop_at);
        const ProgressScope work("Comparing");
        const EngineRun run = compare();
        EXPECT_EQ(run.result, 2) << stop_at;
        EXPECT_TRUE(run.messages.empty()) << stop_at;
        EXPECT_EQ(recorder.polls.size(), static_cast<std::size_t>(stop_at));
    }
    EXPECT_EQ(compare().result, 1);  // the next run is whole again
}

}  // namespace
