#include "common/progress.h"

#include <algorithm>

namespace {

// Deeper nesting than this shares the innermost name.
constexpr int MAX_DEPTH = 8;

const ProgressReporter* reporter = nullptr;
ProgressClock::duration poll_interval = PROGRESS_POLL;
const char* activities[MAX_DEPTH] = {};
int depth = 0;
ProgressClock::time_point started;
// Kept across works, so that a walk's many short steps poll no more often than one work.
ProgressClock::time_point next_poll;
bool stopped = false;
bool polling = false;  // a poll that lets the window answer must not poll again
// The part of the whole that steps report (ProgressPart), in thousandths; none: 0 to 0.
std::uint32_t part_from = 0;
std::uint32_t part_to = 0;

}  // namespace

void progress_set_reporter(const ProgressReporter* r, ProgressClock::duration interval) {
    reporter = r;
    poll_interval = interval;
    next_poll = {};
}

void progress_begin(const char* activity, ProgressClock::time_point since) {
    if (depth == 0) {
        started = ProgressClock::now();
        if (since != ProgressClock::time_point{} && since < started) {
            started = since;
        }
        stopped = false;
    }
    activities[depth < MAX_DEPTH ? depth : MAX_DEPTH - 1] = activity;
    ++depth;
}

void progress_end() {
    if (depth == 0) {
        return;
    }
    --depth;
    if (depth == 0) {
        stopped = false;
        if (reporter != nullptr) {
            reporter->ended();
        }
    }
}

ProgressPart::ProgressPart(std::uint32_t from, std::uint32_t to) {
    part_from = from;
    part_to = to;
}

ProgressPart::~ProgressPart() {
    part_from = part_to = 0;
}

bool progress_step(std::uint64_t done, std::uint64_t total) {
    if (stopped || reporter == nullptr || depth == 0 || polling) {
        return !stopped;
    }
    const ProgressClock::time_point now = ProgressClock::now();
    if (now < next_poll) {
        return true;
    }
    next_poll = now + poll_interval;
    polling = true;
    const char* activity = activities[depth < MAX_DEPTH ? depth - 1 : MAX_DEPTH - 1];
    if (part_to != 0) {
        done = part_from + (total == 0 ? 0 : (part_to - part_from) * std::min(done, total) / total);
        total = 1000;
    }
    stopped = !reporter->poll(activity, done, total, now - started >= PROGRESS_SHOW_AFTER);
    polling = false;
    return !stopped;
}

bool progress_stopped() {
    return stopped;
}

bool progress_busy() {
    return depth > 0;
}
