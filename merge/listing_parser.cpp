#include "merge/listing_parser.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "common/report.h"
#include "merge/blocks.h"

// Line numbers beyond this cannot come from a file that fits in memory; holding them
// here keeps every sum of two of them within int32.
constexpr int64_t MAX_LISTING_NUMBER = int64_t{1} << 28;

// Bytes of a listing line the parser reads: a hunk line is short, and the identical-files
// line names two paths, each far shorter than this.
constexpr std::size_t LISTING_LINE_KEEP = 65536;

namespace {

struct Range {
    int32_t first;
    int32_t last;
    int32_t count() const { return last - first + 1; }
};

const char* parse_number(const char* p, const char* end, int32_t& value) {
    int64_t v = 0;
    while (p < end && *p >= '0' && *p <= '9') {
        v = std::min<int64_t>(v * 10 + (*p - '0'), MAX_LISTING_NUMBER);
        ++p;
    }
    value = static_cast<int32_t>(v);
    return p;
}

// "n" is n..n; "n,m" is n..m.
Range parse_range(const char* p, const char* end) {
    Range r{};
    p = parse_number(p, end, r.first);
    r.last = r.first;
    if (p < end && *p == ',') {
        parse_number(p + 1, end, r.last);
    }
    return r;
}

}  // namespace

bool fill_block_entries(const char* line, DiffBlock& left_own, DiffBlock& left_filler,
                        DiffBlock& right_own, DiffBlock& right_filler) {
    const char* letter = std::strchr(line, 'a');
    if (letter == nullptr) {
        letter = std::strchr(line, 'c');
    }
    if (letter == nullptr) {
        letter = std::strchr(line, 'd');
    }
    if (letter == nullptr) {
        return false;
    }
    const Range left = parse_range(line, letter);
    const Range right = parse_range(letter + 1, letter + std::strlen(letter));
    left_own = left_filler = right_own = right_filler = ABSENT_ENTRY;
    switch (*letter) {
        case 'a':
            left_filler = {left.first + 1, left.first + right.count(), 0};
            right_own = {right.first, right.last, 0};
            break;
        case 'd':
            left_own = {left.first, left.last, 0};
            right_filler = {right.first + 1, right.first + left.count(), 0};
            break;
        default:
            left_own = {left.first, left.last, 0};
            right_own = {right.first, right.last, 0};
            if (left.count() < right.count()) {
                left_filler = {left.last + 1, left.last + (right.count() - left.count()), 0};
            } else if (left.count() > right.count()) {
                right_filler = {right.last + 1, right.last + (left.count() - right.count()), 0};
            }
            break;
    }
    return true;
}

static void clear_tables(BlockTables& t) {
    t = BlockTables{};
}

// Room for one more block in all four tables. A large table is grown to what the rest of
// the listing likely holds at the rate read so far, and an eighth more: doubling all
// four at once copied hundreds of megabytes on a listing of millions of hunks and kept
// the window waiting half a second.
static void make_blocks_room(BlockTables& out, const TextLineReader& listing) {
    constexpr std::size_t ESTIMATED_FROM = 4096;
    BlockTable* const tables[4] = {&out.left_own, &out.left_filler, &out.right_own,
                                   &out.right_filler};
    const std::size_t n = out.left_own.size();
    if (n == out.left_own.capacity() && n >= ESTIMATED_FROM && listing.size() > 0) {
        const double rate = static_cast<double>(n) /
                            static_cast<double>(std::max<std::uint64_t>(1, listing.bytes_read()));
        const double expected = rate * static_cast<double>(listing.size()) * 1.125 + 16;
        const double most = static_cast<double>(out.left_own.max_size());
        const auto room = std::max(2 * n, static_cast<std::size_t>(std::min(expected, most)));
        try {
            for (BlockTable* t : tables) {
                t->reserve(room);
            }
        } catch (const std::bad_alloc&) {
            // Too much at once: grown a step at a time below, as small tables are.
        }
    }
    for (BlockTable* t : tables) {
        make_table_room(*t);
    }
}

ListingResult parse_listing(TextLineReader& listing, BlockTables& out) {
    // Part of the comparison's work: a long listing is read with progress steps.
    listing.poll_progress();
    clear_tables(out);
    try {
        for (BlockTable* t : {&out.left_own, &out.left_filler, &out.right_own, &out.right_filler}) {
            make_table_room(*t);
            t->push_back(END_MARKER);
        }
        // Only the hunk lines and the identical-files line count: of the quoted lines,
        // which may be huge, only the start is kept.
        std::string line;
        while (listing.next_line(line, nullptr, LISTING_LINE_KEEP)) {
            if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
                DiffBlock lo, lf, ro, rf;
                if (!fill_block_entries(line.c_str(), lo, lf, ro, rf)) {
                    continue;
                }
                if (merge_allocation_refused((out.left_own.size() + 1) * sizeof(DiffBlock))) {
                    throw std::bad_alloc();
                }
                // The new entry takes the end marker's place; the marker moves behind it.
                const DiffBlock entries[4] = {lo, lf, ro, rf};
                BlockTable* tables[4] = {&out.left_own, &out.left_filler, &out.right_own,
                                         &out.right_filler};
                make_blocks_room(out, listing);
                for (int i = 0; i < 4; ++i) {
                    tables[i]->back() = entries[i];
                    tables[i]->push_back(END_MARKER);
                }
            } else if (line.compare(0, 5, "Files") == 0 &&
                       line.find("identical") != std::string::npos) {
                clear_tables(out);
                return LISTING_IDENTICAL;
            }
        }
    } catch (const std::bad_alloc&) {
        clear_tables(out);
        report_out_of_memory();
        return LISTING_FAILED;
    }
    if (listing.stopped()) {  // by the user: nothing to report
        clear_tables(out);
        return LISTING_FAILED;
    }
    if (listing.failed()) {
        clear_tables(out);
        report_message("Could not read temporary file", SEVERITY_ERROR);
        return LISTING_FAILED;
    }
    return LISTING_BLOCKS;
}

void install_tables(BlockTables&& tables) {
    free_blocks();
    merge_document.left.own_blocks = std::move(tables.left_own);
    merge_document.left.filler_blocks = std::move(tables.left_filler);
    merge_document.right.own_blocks = std::move(tables.right_own);
    merge_document.right.filler_blocks = std::move(tables.right_filler);
}
