#include <unistd.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "common/byte_scan.h"
#include "engine/engine_internal.h"

namespace {

// Stored bytes are compared in chunks of 64 KiB: few reads, little memory.
constexpr std::size_t RAW_CHUNK = 65536;

// Compares two regular files byte for byte from their start, as stored: text mode
// would drop carriage returns and stop at a Ctrl-Z, and so call different binary files
// equal.
bool raw_files_equal(InputFile files[2]) {
    for (int i = 0; i < 2; ++i) {
        if (::lseek(files[i].descriptor, 0, SEEK_SET) != 0) {
            report_engine_error("Error in file %s", files[i].name.c_str());
            return false;
        }
    }
    const std::size_t chunk = RAW_CHUNK;
    std::vector<char> chunks[2] = {std::vector<char>(chunk), std::vector<char>(chunk)};
    for (;;) {
        std::size_t counts[2];
        for (int i = 0; i < 2; ++i) {
            std::size_t have = 0;
            while (have < chunk) {
                const int n = static_cast<int>(::read(files[i].descriptor, chunks[i].data() + have,
                                                      static_cast<unsigned>(chunk - have)));
                if (n < 0) {
                    report_engine_error("Error in file %s", files[i].name.c_str());
                    break;
                }
                if (n == 0) {
                    break;
                }
                have += static_cast<std::size_t>(n);
            }
            counts[i] = have;
        }
        if (counts[0] != counts[1] || !bytes_equal(chunks[0].data(), chunks[1].data(), counts[0])) {
            return false;
        }
        if (counts[0] < chunk) {
            return true;
        }
    }
}

// Compares the rest of a binary pair chunk by chunk, as stored: for standard input or
// a pipe, which cannot be read again from the start.
bool streamed_files_equal(InputFile files[2]) {
    const std::size_t chunk = std::max(files[0].read_size(), files[1].read_size());
    for (int i = 0; i < 2; ++i) {
        InputFile& f = files[i];
        if (f.text_capacity < chunk) {
            char* old = f.text.release();
            f.text.reset(static_cast<char*>(engine_realloc(old, chunk)));
            f.text_capacity = chunk;
        }
    }
    for (;;) {
        std::size_t counts[2];
        for (int i = 0; i < 2; ++i) {
            InputFile& f = files[i];
            std::size_t have = static_cast<std::size_t>(f.text_length);
            if (!f.is_absent() && have < chunk) {
                have += read_raw(f, f.text.get() + have, chunk - have);
            }
            counts[i] = have;
        }
        if (counts[0] != counts[1] ||
            !bytes_equal(files[0].text.get(), files[1].text.get(), counts[0])) {
            return false;
        }
        if (counts[0] < chunk) {
            return true;
        }
        files[0].text_length = files[1].text_length = 0;
    }
}

// Whether a binary pair differs. Sizes on disk decide when both are known (an absent
// file counts as size 0); one open file on both sides is equal to itself.
bool binary_pair_differs(InputFile files[2]) {
    const auto sized = [](const InputFile& f) { return f.is_absent() || f.status.is_regular; };
    const auto regular = [](const InputFile& f) { return !f.is_absent() && f.status.is_regular; };
    if (sized(files[0]) && sized(files[1]) && files[0].status.size != files[1].status.size) {
        return true;
    }
    if (files[0].descriptor == files[1].descriptor) {
        return false;
    }
    if (regular(files[0]) && regular(files[1])) {
        return !raw_files_equal(files);
    }
    return !streamed_files_equal(files);
}

// The result of a text pair's script: without -B any change is a difference; with it
// only a change with a line that is not empty.
int script_result(InputFile files[2], const std::vector<Change>& script) {
    if (!engine_options.skip_blank_hunks) {
        return script.empty() ? 0 : 1;
    }
    for (const Change& c : script) {
        const HunkMeasure m = measure_hunk(files, &c, 1);
        if (m.deletes != 0 || m.inserts != 0) {
            return 1;
        }
    }
    return 0;
}

// The analysis of a text pair: discard, search, slide, script; then the listing.
int compare_text_pair(InputFile files[2]) {
    const std::int32_t n0 = files[0].line_count;
    const std::int32_t n1 = files[1].line_count;
    // One zeroed allocation for both files' flags, with a zero entry before and after each.
    Table<char> flags(static_cast<std::size_t>(n0) + n1 + 4, 0);
    files[0].line_changed = flags.data() + 1;
    files[1].line_changed = flags.data() + n0 + 3;

    discard_unmatchable_lines(files);
    mark_changed_lines(files);
    engine_progress(SEARCHED_PERMILLE);
    slide_change_runs(files);
    engine_progress(SEARCHED_PERMILLE);
    const std::vector<Change> script = build_change_script(files);
    if (!script.empty()) {
        begin_pair_output();
        print_change_listing(files, script);
        close_listing();
    }
    const int result = script_result(files, script);
    files[0].line_changed = files[1].line_changed = nullptr;
    return result;
}

}  // namespace

int compare_two_files(InputFile files[2], int /*depth*/) {
    if (load_input_pair(files) == 0) {
        return compare_text_pair(files);
    }
    const bool differ = binary_pair_differs(files);
    if (differ) {
        emit_message("Binary files %s and %s differ\n", files[0].name.c_str(),
                     files[1].name.c_str());
    }
    return differ ? 1 : 0;
}
