// The walk's "Yes to all" and "No to all", and a walk the user stops.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "tests/dircompare/dir_walk_fixture.h"
#include "tests/support/progress_recorder.h"

namespace {

using Files = std::map<std::string, std::string>;

// The first one-sided question and the first replace question, answered "... to all",
// answer the rest of their kind unasked.
TEST_F(DirWalkTest, AnAnswerToAllStandsForTheRestOfItsKind) {
    struct Case {
        Answer answer;
        Files target_after;
    };
    const Case cases[] = {
        {ANSWER_YES_TO_ALL,
         {{"o1", "1\n"},
          {"o2", "2\n"},
          {"o3", "3\n"},
          {"s1", "s\n"},
          {"s2", "s\n"},
          {"s1.bak", "old\n"},
          {"s2.bak", "old\n"}}},
        {ANSWER_NO_TO_ALL, {{"s1", "old\n"}, {"s2", "old\n"}}},
    };
    for (const Case& c : cases) {
        reset_fake_platform();
        dir_walk = DirWalk{};
        const TempDir a;
        const TempDir b;
        const TempDir t;
        put(a, "o1", "1\n");
        put(a, "o2", "2\n");
        put(b, "o3", "3\n");
        for (const char* name : {"s1", "s2"}) {
            put(a, name, "s\n");
            put(b, name, "s\n");
            put(t, name, "old\n");
        }
        fake_platform().answers = {c.answer, c.answer};
        start(a.path(), b.path(), t.path());
        EXPECT_EQ(merge_document.directory_mode, 0);
        EXPECT_EQ(files_of(t.path()), c.target_after);
        ASSERT_EQ(fake_platform().questions.size(), 2u);
        for (const AskedQuestion& q : fake_platform().questions) {
            EXPECT_EQ(q.buttons, BUTTONS_YES_NO_CANCEL_ALL);
        }
        EXPECT_EQ(fake_platform().questions[0].text, one_sided_question("o1", a.path()));
    }
}

// A stop between two files ends the walk: the target holds the files done before, no
// later step runs, and no success is claimed.
TEST_F(DirWalkTest, AStoppedWalkEndsWithTheFilesDoneBefore) {
    for (const char* name : {"o1", "o2", "o3", "o4"}) {
        put(d1, name, std::string(name) + "\n");
    }
    fake_platform().answers = {ANSWER_YES, ANSWER_YES, ANSWER_YES, ANSWER_YES};
    {
        ProgressRecorder recorder(3);  // each step polls once
        start(d1.path(), d2.path(), target.path());
        EXPECT_EQ(recorder.polls.at(1).activity, "Comparing directories");
        EXPECT_EQ(recorder.polls.at(1).done, 1u);
        EXPECT_EQ(recorder.polls.at(1).total, 4u);
    }
    EXPECT_EQ(merge_document.directory_mode, 0);
    EXPECT_EQ(files_of(target.path()), (Files{{"o1", "o1\n"}, {"o2", "o2\n"}}));
    EXPECT_EQ(fake_platform().questions.size(), 2u);
    EXPECT_TRUE(message_texts().empty());
}

}  // namespace
