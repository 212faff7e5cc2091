#ifndef PAIREX_COMMON_PROGRESS_H
#define PAIREX_COMMON_PROGRESS_H

#include <chrono>
#include <cstdint>

// Long work (a load, a comparison, a print, a step of the directory walk) says what it
// does and how far it has come, and stops when the user asks. The program installs a
// reporter that shows the progress and lets the window answer; without one (the
// command-line engine, most tests) a step costs a clock read and nothing ever stops.
// One thread only: the engine's helper threads never call in here.

using ProgressClock = std::chrono::steady_clock;

// What the window side does with progress.
struct ProgressReporter {
    // Called from progress_step at most every PROGRESS_POLL: shows `activity` at `done`
    // of `total` (0: unknown) once `visible` (the work has run past PROGRESS_SHOW_AFTER),
    // lets the window answer, and returns false when the user asked to stop.
    bool (*poll)(const char* activity, std::uint64_t done, std::uint64_t total, bool visible);
    // Called when the outermost work has ended, after a poll or none.
    void (*ended)();
};

constexpr ProgressClock::duration PROGRESS_POLL = std::chrono::milliseconds(30);
constexpr ProgressClock::duration PROGRESS_SHOW_AFTER = std::chrono::milliseconds(330);

// Installs the reporter (null: none), polled every `interval` (tests poll at every
// step); the first step after this polls. The reporter must outlive its use.
void progress_set_reporter(const ProgressReporter* reporter,
                           ProgressClock::duration interval = PROGRESS_POLL);

// Work begins: `activity` (a static text) names it until the matching progress_end.
// Work may nest (a walk's comparison, a comparison's load); the innermost names what is
// shown, and the outermost's start, or `since` when earlier (a walk made of many steps),
// decides when it shows.
void progress_begin(const char* activity, ProgressClock::time_point since = {});
void progress_end();

class ProgressScope {
public:
    explicit ProgressScope(const char* activity, ProgressClock::time_point since = {}) {
        progress_begin(activity, since);
    }
    ~ProgressScope() { progress_end(); }
    ProgressScope(const ProgressScope&) = delete;
    ProgressScope& operator=(const ProgressScope&) = delete;
};

// A part of the outermost work's share, while it lives: the steps report how far the
// part came, and the share shown runs from `from` to `to` thousandths of the whole (a
// comparison's engine, then its listing, as one share). A step of unknown total shows
// `from`. Parts do not nest.
class ProgressPart {
public:
    ProgressPart(std::uint32_t from, std::uint32_t to);
    ~ProgressPart();
    ProgressPart(const ProgressPart&) = delete;
    ProgressPart& operator=(const ProgressPart&) = delete;
};

// How far the innermost work has come. Returns false once the user has asked to stop,
// and keeps returning false until the outermost work ends. Outside any work it only
// answers whether a stop was asked (never, then).
bool progress_step(std::uint64_t done, std::uint64_t total);

// Whether the user asked the present work to stop.
bool progress_stopped();

// Whether any work is running: commands must then wait (or be refused).
bool progress_busy();

#endif
