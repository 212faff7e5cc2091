#include <gtest/gtest.h>

#include "common/progress.h"
#include "tests/support/progress_recorder.h"

namespace {

// The innermost work names the poll; a stop holds until the outermost work ends, and
// the next work starts afresh.
TEST(Progress, InnermostNamesAStopLastsUntilTheOutermostEnds) {
    ProgressRecorder recorder(3);
    {
        const ProgressScope walk("Walking");
        EXPECT_TRUE(progress_busy());
        EXPECT_TRUE(progress_step(1, 10));
        {
            const ProgressScope compare("Comparing");
            EXPECT_TRUE(progress_step(5, 1000));
            EXPECT_FALSE(progress_step(6, 1000));  // the third poll asks to stop
            EXPECT_FALSE(progress_step(7, 1000));
            EXPECT_TRUE(progress_stopped());
        }
        EXPECT_TRUE(progress_stopped());
        EXPECT_FALSE(progress_step(2, 10));
        EXPECT_EQ(recorder.ends, 0);
    }
    EXPECT_FALSE(progress_busy());
    EXPECT_FALSE(progress_stopped());
    EXPECT_EQ(recorder.ends, 1);
    ASSERT_EQ(recorder.polls.size(), 3u);
    EXPECT_EQ(recorder.polls[0].activity, "Walking");
    EXPECT_EQ(recorder.polls[2].activity, "Comparing");
    EXPECT_EQ(recorder.polls[2].done, 6u);
    recorder.stop_at = 0;
    const ProgressScope again("Loading");
    EXPECT_TRUE(progress_step(1, 2));
}

// Without a reporter nothing polls and nothing stops; outside any work neither.
TEST(Progress, WithoutReporterOrWorkNothingStops) {
    {
        const ProgressScope work("Comparing");
        EXPECT_TRUE(progress_step(1, 2));
    }
    ProgressRecorder recorder(1);
    EXPECT_TRUE(progress_step(1, 2));
    EXPECT_TRUE(recorder.polls.empty());
}

}  // namespace
