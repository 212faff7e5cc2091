#include "merge/listing.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <string>

#include "common/report.h"
#include "merge/blocks.h"

// Line numbers beyond this cannot come from a file that fits in memory; holding them
// here keeps every sum of two of them within int32.
constexpr int64_t MAX_LISTING_NUMBER = int64_t{1} << 28;

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

bool parse_command_line(const char* line, DiffBlock& left_own, DiffBlock& left_filler,
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

// Room for one more entry, growing geometrically (a fixed step would be quadratic on
// listings with many blocks). May throw std::bad_alloc.
static void make_room(BlockTable& t) {
    if (t.size() == t.capacity()) {
        t.reserve(std::max<std::size_t>(20, t.size() * 2));
    }
}

ListingResult parse_listing(TextLineReader& listing, BlockTables& out) {
    clear_tables(out);
    try {
        for (BlockTable* t : {&out.left_own, &out.left_filler, &out.right_own, &out.right_filler}) {
            make_room(*t);
            t->push_back(END_MARKER);
        }
        std::string line;
        while (listing.next_line(line)) {
            if (!line.empty() && line[0] >= '0' && line[0] <= '9') {
                DiffBlock lo, lf, ro, rf;
                if (!parse_command_line(line.c_str(), lo, lf, ro, rf)) {
                    continue;
                }
                if (merge_allocation_refused((out.left_own.size() + 1) * sizeof(DiffBlock))) {
                    throw std::bad_alloc();
                }
                // The new entry takes the end marker's place; the marker moves behind it.
                const DiffBlock entries[4] = {lo, lf, ro, rf};
                BlockTable* tables[4] = {&out.left_own, &out.left_filler, &out.right_own,
                                         &out.right_filler};
                for (BlockTable* t : tables) {
                    make_room(*t);
                }
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

int insert_block(int32_t index) {
    const MergeDocument& doc = merge_document;
    if (!doc.left.own_blocks || !doc.left.filler_blocks || !doc.right.own_blocks ||
        !doc.right.filler_blocks) {
        return -1;
    }
    BlockTable* const tables[4] = {
        &*merge_document.left.own_blocks, &*merge_document.left.filler_blocks,
        &*merge_document.right.own_blocks, &*merge_document.right.filler_blocks};
    // The four tables have one size; the end marker is the last entry of each.
    if (index < 0 || static_cast<std::size_t>(index) >= tables[0]->size()) {
        return -1;
    }
    try {
        if (merge_allocation_refused((tables[0]->size() + 1) * sizeof(DiffBlock))) {
            throw std::bad_alloc();
        }
        // Reserve all four first so that the inserts below cannot fail half-way.
        for (int i = 0; i < 4; ++i) {
            make_room(*tables[i]);
        }
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    for (int i = 0; i < 4; ++i) {
        tables[i]->insert(tables[i]->begin() + index, ABSENT_ENTRY);
    }
    return 0;
}

bool is_blank_line(const char* text) {
    for (const char* p = text; *p != '\0'; ++p) {
        if (std::strchr(" \t\n\v\f\r", *p) == nullptr) {
            return false;
        }
    }
    return true;
}

int realign_blank_lines() {
    MergeDocument& doc = merge_document;
    MergeSide& left = doc.left;
    MergeSide& right = doc.right;
    if (block_count() == 0) {
        return 0;
    }
    auto at_end = [&](int32_t j) {
        return is_end((*left.own_blocks)[j]) || is_end((*right.own_blocks)[j]);
    };
    int32_t bl = 0;
    int32_t br = 0;
    for (int32_t j = 0;;) {
        const bool tail = at_end(j);
        // A listing that does not match the loaded texts must not take us past them.
        const int32_t el =
            std::min(tail ? left.line_count - 1 : block_start(left, j) - 2, left.line_count - 1);
        const int32_t er =
            std::min(tail ? right.line_count - 1 : block_start(right, j) - 2, right.line_count - 1);
        if (el >= 0 && er >= 0) {
            int32_t left_fill = 0;
            int32_t right_fill = 0;
            int32_t c = std::max(bl, 0);
            int32_t d = std::max(br, 0);
            while (c <= el && d <= er) {
                const bool blank_l = is_blank_line(left.lines[c]);
                const bool blank_r = is_blank_line(right.lines[d]);
                if (blank_l == blank_r) {
                    ++c;
                    ++d;
                    continue;
                }
                if (insert_block(j) != 0) {
                    return -1;
                }
                if (blank_l) {
                    (*left.own_blocks)[j] = {c + 1, c + 1, 0};
                    (*right.filler_blocks)[j] = {d + 1, d + 1, 0};
                    ++right_fill;
                    ++c;
                } else {
                    (*right.own_blocks)[j] = {d + 1, d + 1, 0};
                    (*left.filler_blocks)[j] = {c + 1, c + 1, 0};
                    ++left_fill;
                    ++d;
                }
                ++j;
            }
            const int32_t hl = std::max(el - bl + left_fill, -1);
            const int32_t hr = std::max(er - br + right_fill, -1);
            if (hl != hr) {
                if (insert_block(j) != 0) {
                    return -1;
                }
                const int32_t diff = hl - hr;
                if (diff > 0) {
                    (*left.own_blocks)[j] = {el - diff + 2, el + 1, 0};
                    (*right.filler_blocks)[j] = {er + 2, er + 1 + diff, 0};
                } else {
                    const int32_t m = -diff;
                    (*right.own_blocks)[j] = {er - m + 2, er + 1, 0};
                    (*left.filler_blocks)[j] = {el + 2, el + 1 + m, 0};
                }
                ++j;
            }
        }
        if (at_end(j)) {
            return 0;
        }
        bl = block_end(left, j);
        br = block_end(right, j);
        ++j;
    }
}
