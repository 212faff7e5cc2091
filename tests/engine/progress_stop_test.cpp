// The engine's progress and its stop: a hard pair (lines drawn from four) reports
// progress that only grows, and a stop ends the run with nothing shown.
#include <gtest/gtest.h>
#include <pthread.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <functional>
#include <string>
#include <thread>
#include <vector>

#include "common/textio.h"
#include "engine/engine_internal.h"
#include "tests/engine/engine_run.h"
#include "tests/support/progress_recorder.h"
#include "tests/support/random_lines.h"

namespace {

class EngineProgress : public ::testing::Test {
protected:
    void SetUp() override {
        dir.write("a", random_lines::four_symbol_text(1, 200000));
        dir.write("b", random_lines::four_symbol_text(2, 200000));
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
        int same = 0;
        int longest_same = 0;  // polls in a row that showed one share
        int listing = 0;       // polls while the listing's hunks were written
        for (const ProgressPoll& p : recorder.polls) {
            EXPECT_EQ(p.total, 1000u);
            EXPECT_GE(p.done, last);
            EXPECT_LE(p.done, 1000u);
            same = p.done == last ? same + 1 : 0;
            longest_same = p.done < 1000 ? std::max(longest_same, same) : longest_same;
            listing += p.done > SEARCHED_PERMILLE ? 1 : 0;
            last = p.done;
        }
        EXPECT_GT(last, 200u);  // the search reported, not only the classifying
        EXPECT_GT(listing, 0);  // tens of thousands of hunks move the share on too
        // The searches that mark no range for long still move the share on (when only
        // marked ranges counted, 276 of the 992 polls in a row showed one share).
        EXPECT_LT(longest_same, 200);
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

// Runs `work` on a thread with a stack of `bytes`.
void run_on_stack(std::size_t bytes, const std::function<void()>& work) {
    pthread_attr_t attr;
    pthread_attr_init(&attr);
    pthread_attr_setstacksize(&attr, bytes);
    pthread_t thread;
    auto call = [](void* w) -> void* {
        (*static_cast<const std::function<void()>*>(w))();
        return nullptr;
    };
    ASSERT_EQ(pthread_create(&thread, &attr, call, const_cast<std::function<void()>*>(&work)), 0);
    pthread_join(thread, nullptr);
    pthread_attr_destroy(&attr);
}

// A hard pair splits near one end again and again: how deep its splits go must not be
// how deep the stack goes (a 4,000,000-line pair ran a thread's stack out).
TEST_F(EngineProgress, AHardPairIsComparedOnASmallStack) {
    EngineRun run;
    run_on_stack(std::size_t{256} << 10, [&] { run = compare(); });
    EXPECT_EQ(run.result, 1);
}

// A pair of huge single lines: their listing is written in pieces with a poll between
// them, and holds every byte (tabs expanded with -t).
TEST(EngineProgressOnHugeLines, TheListingIsWrittenInPiecesExactly) {
    TempDir dir;
    std::string left(9 << 20, 'x');
    std::string right = left;
    left[100] = '\t';
    right[5 << 20] = 'y';
    dir.write("a", left);
    dir.write("b", right);
    for (const bool expand : {false, true}) {
        SCOPED_TRACE(expand);
        std::vector<std::string> args = {"-o", dir.file("listing"), dir.file("a"), dir.file("b")};
        if (expand) {
            args.insert(args.begin(), "-t");
        }
        ProgressRecorder recorder;
        const ProgressScope work("Comparing");
        EXPECT_EQ(run_engine(args).result, 1);
        int in_listing = 0;
        for (const ProgressPoll& p : recorder.polls) {
            in_listing += p.done >= SEARCHED_PERMILLE ? 1 : 0;
        }
        // The analysis's two at its end, and two pieces' ends for each line at least.
        EXPECT_GE(in_listing, 2 + 2 * 2);
        const std::string shown_left =
            expand ? left.substr(0, 100) + std::string(4, ' ') + left.substr(101) : left;
        // A line without a line feed runs into the note, as any last line does.
        const std::string end = LINE_END;
        const std::string expected = "1c1" + end + "< " + shown_left + "No newline at end of file" +
                                     end + "---" + end + "> " + right +
                                     "No newline at end of file" + end;
        const std::string listing = read_bytes(dir.file("listing"));
        EXPECT_TRUE(listing == expected)
            << "listing of " << listing.size() << " bytes, expected " << expected.size();
    }
}

// The two halves of a large pair run on threads of their own: the calling thread lets
// the window answer meanwhile, and a stop asked then is carried out once both ended.
TEST(BothFiles, TheWindowAnswersWhileTheyRunAndAStopWaitsForBoth) {
    for (const int stop_at : {0, 1}) {
        SCOPED_TRACE(stop_at);
        ProgressRecorder recorder(stop_at);
        const ProgressScope work("Comparing");
        std::atomic<int> finished{0};
        bool stopped = false;
        try {
            run_on_both(true, [&](int) {
                std::this_thread::sleep_for(std::chrono::milliseconds(60));
                ++finished;
            });
        } catch (const EngineStopped&) {
            stopped = true;
        }
        EXPECT_EQ(finished, 2);
        EXPECT_GE(recorder.polls.size(), 1u);
        EXPECT_EQ(stopped, stop_at != 0);
    }
}

}  // namespace
