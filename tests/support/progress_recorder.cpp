#include "tests/support/progress_recorder.h"

namespace {

ProgressRecorder* current = nullptr;

bool poll(const char* activity, std::uint64_t done, std::uint64_t total, bool /*visible*/) {
    current->polls.push_back({activity, done, total});
    if (current->at_poll) {
        current->at_poll();
    }
    return current->stop_at == 0 || static_cast<int>(current->polls.size()) < current->stop_at;
}

void ended() {
    ++current->ends;
}

const ProgressReporter RECORDER = {poll, ended};

}  // namespace

ProgressRecorder::ProgressRecorder(int stop) : stop_at(stop) {
    current = this;
    progress_set_reporter(&RECORDER, ProgressClock::duration::zero());
}

ProgressRecorder::~ProgressRecorder() {
    progress_set_reporter(nullptr);
    current = nullptr;
}
