// Arbitrary bytes as a file git left with conflict markers: reading the markers and
// loading the two sides must stay within bounds, and a refusal must name a line of the
// file.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <span>
#include <string>
#include <vector>

#include "merge/conflict_file.h"
#include "merge/conflict_mode.h"
#include "merge/document.h"

namespace {

std::string file_path() {
    static const std::string path =
        (std::filesystem::temp_directory_path() /
         ("conflict_fuzz_" + std::to_string(static_cast<long>(getpid())) + ".txt"))
            .string();
    return path;
}

// The bytes cut at line feeds, each line's end told by a carriage return before it.
std::vector<EndedLine> split(std::string_view bytes) {
    std::vector<EndedLine> lines;
    while (!bytes.empty()) {
        const std::size_t feed = bytes.find('\n');
        std::string_view text = bytes.substr(0, feed);
        LineEnd end = ENDS_NONE;
        if (feed != std::string_view::npos) {
            end = text.ends_with('\r') ? ENDS_CRLF : ENDS_LF;
            if (end == ENDS_CRLF) {
                text.remove_suffix(1);
            }
        }
        lines.push_back({text, end});
        bytes.remove_prefix(feed == std::string_view::npos ? bytes.size() : feed + 1);
    }
    return lines;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size > 65536) {
        return 0;
    }
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const std::vector<EndedLine> lines = split(bytes);
    ConflictSides sides;
    MarkerError error;
    // A refusal names a line of the file.
    if (!read_conflict_markers(std::span<const EndedLine>(lines), sides, error) &&
        (error.line < 1 || static_cast<std::size_t>(error.line) > lines.size())) {
        std::abort();
    }
    {
        FILE* f = std::fopen(file_path().c_str(), "wb");
        if (f == nullptr) {
            return 0;
        }
        std::fwrite(data, 1, size, f);
        std::fclose(f);
    }
    merge_document = MergeDocument{};
    load_conflict_file(file_path().c_str());
    for (const MergeSide* side : {&merge_document.left, &merge_document.right}) {
        for (int32_t i = 0; i < side->line_count; ++i) {
            (void)line_text(*side, i);
        }
    }
    merge_document = MergeDocument{};
    return 0;
}
