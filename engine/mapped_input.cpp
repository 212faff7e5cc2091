#include <cstdint>

#include "common/byte_scan.h"
#include "common/textio.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"

#if defined(__linux__)
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

// Only files this large are mapped. Reading copies the data, but into memory the engine
// takes in 2 MiB pages, where each 4 KiB page of a mapping costs a fault at its first
// touch: on a virtual machine that fills the host's page tables too, the first look at
// a mapped file took longer than reading it (27 MB: 20 ms against 10). A mapping still
// spares a file this large a second copy in memory.
static std::size_t map_min_bytes = std::size_t{1} << 28;
static void (*after_map)(const char*) = nullptr;

void engine_set_mapping(std::size_t min_bytes, void (*hook)(const char* name)) {
    map_min_bytes = min_bytes;
    after_map = hook;
}

#if defined(__linux__)

namespace {

// Data is addressed with 32-bit offsets (as for data that is read).
constexpr std::uint64_t MAX_MAPPED = INT32_MAX - 16;

// A file shrunk by another program while it is mapped would end the process with a
// bus error at the first look at a page past its new end. Each mapping is guarded:
// such a fault puts zero pages in place of the lost ones, and the run is told.
struct Guard {
    char* volatile begin;
    volatile std::size_t file_bytes;  // the pages backed by the file
    volatile sig_atomic_t shrank;
};
constexpr int GUARD_SLOTS = 4;  // two files of a pair; a spare pair for safety
Guard guards[GUARD_SLOTS];
struct sigaction previous_bus_action;
volatile sig_atomic_t guard_installed = 0;
std::size_t page_bytes = 4096;

void on_bus_error(int, siginfo_t* info, void*) {
    char* const at = static_cast<char*>(info->si_addr);
    for (Guard& g : guards) {
        char* const begin = g.begin;
        if (begin == nullptr || at < begin || at >= begin + g.file_bytes) {
            continue;
        }
        char* const from = begin + static_cast<std::size_t>(at - begin) / page_bytes * page_bytes;
        const std::size_t bytes = static_cast<std::size_t>(begin + g.file_bytes - from);
        if (mmap(from, bytes, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS | MAP_FIXED, -1,
                 0) != MAP_FAILED) {
            g.shrank = 1;
            return;  // the access is made again, and reads a zero byte
        }
        break;
    }
    // Not a guarded page (or no memory for the zero pages): the fault comes back when
    // this returns, and meets what was there before.
    sigaction(SIGBUS, &previous_bus_action, nullptr);
    guard_installed = 0;
}

Guard* take_guard(char* begin, std::size_t file_bytes) {
    if (guard_installed == 0) {
        struct sigaction action {};
        action.sa_sigaction = on_bus_error;
        action.sa_flags = SA_SIGINFO;
        sigemptyset(&action.sa_mask);
        if (sigaction(SIGBUS, &action, &previous_bus_action) != 0) {
            return nullptr;
        }
        guard_installed = 1;
    }
    for (Guard& g : guards) {
        if (g.begin == nullptr) {
            g.shrank = 0;
            g.file_bytes = file_bytes;
            g.begin = begin;
            return &g;
        }
    }
    return nullptr;
}

Guard* guard_of(const char* begin) {
    for (Guard& g : guards) {
        if (begin != nullptr && g.begin == begin) {
            return &g;
        }
    }
    return nullptr;
}

std::size_t round_up(std::uint64_t n, std::size_t unit) {
    return static_cast<std::size_t>((n + unit - 1) / unit * unit);
}

}  // namespace

void unmap_input_text(char* text, std::size_t mapped_bytes) {
    if (Guard* g = guard_of(text)) {
        g->begin = nullptr;
    }
    munmap(text, mapped_bytes);
}

bool mapped_input_shrank(const InputFile& file) {
    const Guard* g = file.mapped ? guard_of(file.text.get()) : nullptr;
    return g != nullptr && g->shrank != 0;
}

bool may_map_input(const InputFile& file) {
    const std::uint64_t size = file.status.size;
    return engine_fast_paths_on() && file.descriptor >= 0 && file.status.is_regular && size != 0 &&
           size >= map_min_bytes && size <= MAX_MAPPED;
}

bool map_input_text(InputFile& file, std::size_t spare_bytes) {
    struct stat st {};
    if (!may_map_input(file) || fstat(file.descriptor, &st) != 0 || !S_ISREG(st.st_mode)) {
        return false;
    }
    // The size now, which may differ from the size taken before the file was opened.
    const auto size = static_cast<std::uint64_t>(st.st_size);
    if (size == 0 || size < map_min_bytes || size > MAX_MAPPED) {
        return false;
    }
    page_bytes = static_cast<std::size_t>(sysconf(_SC_PAGESIZE));
    // The file's pages, then anonymous pages for the spare bytes and the final line
    // feed: a page at least, so that the line feed is never a byte of the file.
    const std::size_t file_bytes = round_up(size, page_bytes);
    const std::size_t total = round_up(size + spare_bytes, page_bytes) + page_bytes;
    void* region = mmap(nullptr, total, PROT_READ | PROT_WRITE, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    if (region == MAP_FAILED) {
        return false;
    }
    char* const text = static_cast<char*>(region);
    // Read-only, so that filling the page tables at once shares the cached pages
    // instead of copying each one.
    Guard* guard = take_guard(text, file_bytes);
    if (guard == nullptr ||
        mmap(text, static_cast<std::size_t>(size), PROT_READ,
             MAP_PRIVATE | MAP_FIXED | MAP_POPULATE, file.descriptor, 0) == MAP_FAILED) {
        unmap_input_text(text, total);
        return false;
    }
    // The last file page holds the first spare bytes: only that page is ever written
    // (and so copied).
    char* const last_page = text + file_bytes - page_bytes;
    if (mprotect(last_page, page_bytes, PROT_READ | PROT_WRITE) != 0) {
        unmap_input_text(text, total);
        return false;
    }
    text[total - 1] = '\n';
    if (after_map != nullptr) {
        after_map(file.name.c_str());
    }
    const auto n = static_cast<std::size_t>(size);
    if (find_byte(text, n, '\r') != nullptr ||
        find_byte(text, n, static_cast<char>(TEXT_EOF_BYTE)) != nullptr) {
        unmap_input_text(text, total);  // text mode changes the data: it is read instead
        return false;
    }
    file.text = TextBuffer(text, TextDeleter{total});
    file.text_capacity = total - 1;
    file.text_length = static_cast<std::int64_t>(size);
    file.data_ended = false;
    file.mapped = true;
    return true;
}

#else

void unmap_input_text(char*, std::size_t) {}

bool mapped_input_shrank(const InputFile&) {
    return false;
}

bool may_map_input(const InputFile&) {
    return false;
}

bool map_input_text(InputFile&, std::size_t) {
    return false;
}

#endif
