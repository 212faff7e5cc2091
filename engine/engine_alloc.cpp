#ifdef __linux__
#include <sys/mman.h>
#endif

#include <algorithm>
#include <cstdarg>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <system_error>
#include <thread>

#include "common/fresh_pages.h"
#include "common/report.h"
#include "engine/engine_internal.h"

void TextDeleter::operator()(char* p) const {
    if (mapped_bytes != 0) {
        unmap_input_text(p, mapped_bytes);
    } else {
        std::free(p);
    }
}

void report_engine_error(const char* format, const char* arg1, const char* arg2) {
    report_message(format_message(format, arg1, arg2).c_str(), SEVERITY_ERROR);
}

static bool memory_reported = false;

void engine_reset_memory_report() {
    memory_reported = false;
}

void engine_out_of_memory() {
    if (!memory_reported) {
        memory_reported = true;
        report_engine_error("Not enough memory");
    }
    throw EngineOutOfMemory{};
}

#if defined(__linux__) && defined(MADV_HUGEPAGE)
namespace {
constexpr std::size_t HUGE_PAGE = std::size_t{2} << 20;
constexpr std::size_t SMALL_PAGE = 4096;
// From this size a table starts on a huge-page boundary, and its huge pages are advised
// up to the end of the last one. Placed anywhere in the heap, it would share its first
// huge page with blocks whose small pages are already there, and much of a table of a
// few MiB would still fault in 4 KiB at a time: on the 1,000,000-line pair that was
// 3,000 of the run's 3,200 faults. The size is not rounded up to whole huge pages:
// that left up to 2 MiB a table zeroed and never used (peak memory 2.09 times the
// pair's size instead of 1.93).
constexpr std::size_t ALIGNED_FROM = std::size_t{1} << 20;
}  // namespace
#endif

// A grown block lies where the heap puts it: only the whole huge pages inside it.
static void advise_large(void* block, std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size < 2 * HUGE_PAGE) {
        return;
    }
    // Only the whole huge pages inside the block; the advice is a hint, so its failure
    // changes nothing but speed.
    const auto start = reinterpret_cast<std::uintptr_t>(block);
    const std::uintptr_t first = (start + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
    const std::uintptr_t last = (start + size) & ~(HUGE_PAGE - 1);
    if (last > first) {
        madvise(reinterpret_cast<void*>(first), last - first, MADV_HUGEPAGE);
    }
#else
    (void)block;
    (void)size;
#endif
}

// engine_alloc without the report: null when refused.
static void* try_alloc(std::size_t size) {
#if defined(__linux__) && defined(MADV_HUGEPAGE)
    if (size >= ALIGNED_FROM && size <= static_cast<std::size_t>(-1) - HUGE_PAGE) {
        // The huge pages after the block's end are advised too: the heap puts the next
        // blocks there, so the last one is not zeroed for nothing.
        const std::size_t whole = (size + HUGE_PAGE - 1) & ~(HUGE_PAGE - 1);
        // posix_memalign, since aligned_alloc wants a size that is a whole number of
        // alignments.
        void* p = nullptr;
        if (posix_memalign(&p, HUGE_PAGE, (size + SMALL_PAGE - 1) & ~(SMALL_PAGE - 1)) != 0) {
            return nullptr;
        }
        madvise(p, whole, MADV_HUGEPAGE);
        return p;
    }
#endif
    return std::malloc(size == 0 ? 1 : size);
}

void* engine_alloc(std::size_t size) {
    void* p = try_alloc(size);
    if (p == nullptr) {
        engine_out_of_memory();
    }
    return p;
}

namespace {

struct KeptBlock {
    char* base;
    std::size_t size;
    std::size_t used;     // carved from the start; tables are never moved
    std::size_t live;     // tables carved out of it and not yet freed
    std::size_t touched;  // bytes from the start whose pages are in
};

// A fresh table block whose pages are brought in as it fills (see engine_bring_in):
// when it is freed and kept, only the part brought in counts as touched.
struct FreshBlock {
    char* base;
    std::size_t size;
    std::size_t brought;  // bytes from the start brought in so far
};

constexpr int MAX_KEPT_BLOCKS = 16;
// Carved tables start at multiples of a cache line.
constexpr std::size_t CARVE_STEP = 64;

std::size_t keep_from = std::size_t{1} << 20;
// Fewer bytes are left to fault in: a call would cost more than it spares.
constexpr std::size_t BRING_IN_FROM = std::size_t{64} << 10;
KeptBlock kept_blocks[MAX_KEPT_BLOCKS];
int kept_count = 0;
FreshBlock fresh_blocks[MAX_KEPT_BLOCKS];
int fresh_count = 0;

// The fresh block `at` lies in, or null.
FreshBlock* fresh_block_of(std::uintptr_t at) {
    for (int i = 0; i < fresh_count; ++i) {
        const auto base = reinterpret_cast<std::uintptr_t>(fresh_blocks[i].base);
        if (at >= base && at - base < fresh_blocks[i].size) {
            return &fresh_blocks[i];
        }
    }
    return nullptr;
}

// Whether `at` lies in a kept block, which tables are carved from.
bool carved(std::uintptr_t at) {
    for (int i = 0; i < kept_count; ++i) {
        const auto base = reinterpret_cast<std::uintptr_t>(kept_blocks[i].base);
        if (at >= base && at - base < kept_blocks[i].size) {
            return true;
        }
    }
    return false;
}

// The bytes of a freed block whose pages are in: all of it unless it was brought in as
// it filled. Forgets the block as fresh.
std::size_t touched_part(void* block, std::size_t size) {
    FreshBlock* f = fresh_block_of(reinterpret_cast<std::uintptr_t>(block));
    if (f == nullptr) {
        return size;
    }
    const std::size_t brought = f->brought;
    *f = fresh_blocks[--fresh_count];
    return brought != 0 ? brought : size;
}

// Brings in the pages of the `size` bytes carved at `offset` that were never in.
void bring_in_carved(KeptBlock& k, std::size_t offset, std::size_t size) {
    if (bring_in_pages != nullptr && offset + size > k.touched) {
        const std::size_t from = std::max(offset, k.touched);
        bring_in_pages(k.base + from, offset + size - from);
        k.touched = offset + size;
    }
}

// Frees the kept blocks no table is carved from; true when there were any.
bool release_idle_blocks() {
    int kept = 0;
    for (int i = 0; i < kept_count; ++i) {
        if (kept_blocks[i].live == 0) {
            std::free(kept_blocks[i].base);
        } else {
            kept_blocks[kept++] = kept_blocks[i];
        }
    }
    const bool released = kept != kept_count;
    kept_count = kept;
    return released;
}

}  // namespace

void engine_set_block_keeping(std::size_t min_bytes) {
    engine_release_kept_blocks();
    keep_from = min_bytes;
}

void* engine_table_alloc(std::size_t size) {
    if (keep_from != 0 && size >= keep_from) {
        for (int i = 0; i < kept_count; ++i) {
            KeptBlock& k = kept_blocks[i];
            if (k.size - k.used >= size) {
                char* p = k.base + k.used;
                bring_in_carved(k, k.used, size);
                const std::size_t step = (size + CARVE_STEP - 1) & ~(CARVE_STEP - 1);
                k.used = step < k.size - k.used ? k.used + step : k.size;
                ++k.live;
                return p;
            }
        }
    }
    void* p = try_alloc(size);
    if (p == nullptr && release_idle_blocks()) {
        p = try_alloc(size);
    }
    if (p == nullptr) {
        engine_out_of_memory();
    }
    if (bring_in_pages != nullptr && keep_from != 0 && size >= keep_from &&
        fresh_count < MAX_KEPT_BLOCKS) {
        fresh_blocks[fresh_count++] = {static_cast<char*>(p), size, 0};
    }
    return p;
}

void engine_table_free(void* block, std::size_t size) {
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    for (int i = 0; i < kept_count; ++i) {
        KeptBlock& k = kept_blocks[i];
        const auto base = reinterpret_cast<std::uintptr_t>(k.base);
        if (at >= base && at - base < k.size) {
            if (--k.live == 0) {
                k.used = 0;
            }
            return;
        }
    }
    const std::size_t touched = touched_part(block, size);
    if (keep_from != 0 && size >= keep_from && kept_count < MAX_KEPT_BLOCKS) {
        kept_blocks[kept_count++] = {static_cast<char*>(block), size, 0, 0, touched};
        return;
    }
    std::free(block);
}

void engine_bring_in(void* block, std::size_t bytes) {
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    if (bring_in_pages == nullptr || bytes < BRING_IN_FROM || carved(at)) {
        return;  // a carved table was brought in when it was carved
    }
    FreshBlock* f = fresh_block_of(at);
    if (f == nullptr) {
        bring_in_pages(block, bytes);
        return;
    }
    // A fresh table fills from its start: what lies below `brought` is in already.
    const std::size_t offset = at - reinterpret_cast<std::uintptr_t>(f->base);
    const std::size_t end = std::min(offset + bytes, f->size);
    if (end > f->brought) {
        const std::size_t from = std::max(offset, f->brought);
        bring_in_pages(f->base + from, end - from);
        f->brought = end;
    }
}

namespace {
// What the thread beside brings in at a time: about a millisecond of faults.
constexpr std::size_t BESIDE_STEP = std::size_t{1} << 20;
// The smallest page size of the systems the program runs on.
constexpr std::size_t PAGE_BYTES = 4096;

// Brings in the `n` bytes at `p` and reads a byte of each page: under wine a page brought
// in costs about as much again at the program's first access, read or write, and a read
// here spares the filling thread that.
void bring_in_and_read(char* p, std::size_t n) {
    bring_in_pages(p, n);
    for (std::size_t at = 0; at < n; at += PAGE_BYTES) {
        static_cast<void>(*static_cast<volatile const char*>(p + at));
    }
}
}  // namespace

BringInBeside::BringInBeside(void* block, std::size_t bytes)
    : base_(static_cast<char*>(block)), bytes_(bytes) {
    const auto at = reinterpret_cast<std::uintptr_t>(block);
    if (bring_in_pages == nullptr || bytes < BRING_IN_FROM || carved(at)) {
        // What engine_bring_in leaves be: nothing is brought in.
        done_.store(bytes, std::memory_order_relaxed);
        claimed_.store(bytes, std::memory_order_relaxed);
        return;
    }
    // A fresh table fills from its start: what lies below `brought` is in already.
    const FreshBlock* f = fresh_block_of(at);
    const std::size_t offset = f != nullptr ? at - reinterpret_cast<std::uintptr_t>(f->base) : 0;
    const std::size_t in =
        f != nullptr && f->brought > offset ? std::min(bytes, f->brought - offset) : 0;
    done_.store(in, std::memory_order_relaxed);
    claimed_.store(in, std::memory_order_relaxed);
    try {
        thread_ = std::thread([this] { bring_in_ahead(); });
    } catch (const std::system_error&) {
        // No thread: before_filling brings in each step itself.
    }
}

// Claims the next step, brings it in and counts it as done once every step before it
// is: steps are claimed in order, so `done_` grows in order.
void BringInBeside::bring_in_ahead() {
    while (!stop_.load(std::memory_order_relaxed)) {
        std::size_t from = claimed_.load(std::memory_order_relaxed);
        if (from >= bytes_) {
            return;
        }
        const std::size_t to = std::min(bytes_, from + BESIDE_STEP);
        if (!claimed_.compare_exchange_strong(from, to)) {
            continue;
        }
        bring_in_and_read(base_ + from, to - from);
        while (done_.load(std::memory_order_acquire) < from) {
            std::this_thread::yield();
        }
        done_.store(to, std::memory_order_release);
    }
}

void BringInBeside::before_filling(std::size_t upto) {
    upto = std::min(upto, bytes_);
    while (done_.load(std::memory_order_acquire) < upto) {
        std::size_t from = claimed_.load(std::memory_order_relaxed);
        if (from < upto && claimed_.compare_exchange_strong(from, upto)) {
            bring_in_pages(base_ + from, upto - from);
            while (done_.load(std::memory_order_acquire) < from) {
                std::this_thread::yield();
            }
            done_.store(upto, std::memory_order_release);
            return;
        }
        std::this_thread::yield();  // the other thread is bringing in what is asked
    }
}

BringInBeside::~BringInBeside() {
    stop_.store(true, std::memory_order_relaxed);
    if (thread_.joinable()) {
        thread_.join();
    }
    FreshBlock* f = fresh_block_of(reinterpret_cast<std::uintptr_t>(base_));
    if (f != nullptr) {
        const std::size_t end =
            static_cast<std::size_t>(base_ - f->base) + done_.load(std::memory_order_relaxed);
        f->brought = std::max(f->brought, std::min(end, f->size));
    }
}

void engine_release_kept_blocks() {
    for (int i = 0; i < kept_count; ++i) {
        std::free(kept_blocks[i].base);
    }
    kept_count = 0;
    fresh_count = 0;
}

void* engine_realloc(void* block, std::size_t size) {
    void* p = std::realloc(block, size == 0 ? 1 : size);
    if (p == nullptr) {
        engine_out_of_memory();
    }
    advise_large(p, size);
    return p;
}
