#ifndef PAIREX_TESTS_SUPPORT_PROGRESS_RECORDER_H
#define PAIREX_TESTS_SUPPORT_PROGRESS_RECORDER_H

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "common/progress.h"

// A progress reporter for tests, polled at every step while it lives: it records each
// poll and asks to stop at the poll numbered `stop_at` (1 for the first; 0 never).
struct ProgressPoll {
    std::string activity;
    std::uint64_t done;
    std::uint64_t total;
};

class ProgressRecorder {
public:
    explicit ProgressRecorder(int stop_at = 0);
    ~ProgressRecorder();
    ProgressRecorder(const ProgressRecorder&) = delete;
    ProgressRecorder& operator=(const ProgressRecorder&) = delete;

    int stop_at;
    std::vector<ProgressPoll> polls;
    int ends = 0;                   // outermost works ended
    std::function<void()> at_poll;  // when set, runs at every poll (another program's doing)
};

#endif
