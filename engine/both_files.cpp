#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <exception>
#include <functional>
#include <mutex>
#include <thread>

#include "engine/engine_internal.h"

namespace {

// Below this many bytes in both middles two threads cost more than they save; from it
// on in either, the calling thread is better kept free to let the window answer.
constexpr std::int64_t SHARED_WORK_BYTES = 1 << 20;

// How often the waiting thread lets the window answer (the reporter itself polls at
// most every 30 ms).
constexpr std::chrono::milliseconds ANSWER_STEP{10};

}  // namespace

void for_both_files(InputFile files[2], const std::function<void(int)>& work,
                    const std::function<std::uint32_t()>& share) {
    run_on_both(std::max(files[0].middle_end - files[0].middle_begin,
                         files[1].middle_end - files[1].middle_begin) >= SHARED_WORK_BYTES,
                work, share);
}

// Both halves run on threads of their own while the calling thread waits and lets the
// window answer: one step over a huge line (hashing 100 MB) takes longer than the
// window may wait. A stop is carried out once both have ended, since neither can be
// interrupted.
void run_on_both(bool share, const std::function<void(int)>& work,
                 const std::function<std::uint32_t()>& progress) {
    if (!share || !engine_fast_paths_on()) {
        work(0);
        work(1);
        return;
    }
    std::mutex mutex;
    std::condition_variable ended;
    int running = 0;
    std::thread threads[2];
    for (int f = 0; f < 2; ++f) {
        {
            const std::lock_guard<std::mutex> lock(mutex);
            ++running;
        }
        try {
            threads[f] = std::thread([&, f] {
                work(f);
                const std::lock_guard<std::mutex> lock(mutex);
                --running;
                ended.notify_one();
            });
        } catch (const std::exception&) {
            // No thread (system_error, bad_alloc): this half is done here, below.
            const std::lock_guard<std::mutex> lock(mutex);
            --running;
        }
    }
    bool stopped = false;
    {
        std::unique_lock<std::mutex> lock(mutex);
        while (running > 0) {
            if (!ended.wait_for(lock, ANSWER_STEP, [&] { return running <= 0; }) && !stopped) {
                lock.unlock();
                stopped = !engine_answer(progress ? progress() : 0);
                lock.lock();
            }
        }
    }
    for (int f = 0; f < 2; ++f) {
        if (threads[f].joinable()) {
            threads[f].join();
        } else {
            work(f);
        }
    }
    if (stopped) {
        throw EngineStopped{};
    }
}
