#include "merge/conflict_mode.h"

#include <algorithm>
#include <cstring>
#include <new>
#include <vector>

#include "common/report.h"
#include "engine/engine.h"
#include "merge/conflict_file.h"
#include "merge/listing_parser.h"
#include "merge/merge_platform.h"

namespace {

// The lines of a loaded file with their ends.
std::vector<EndedLine> ended_lines(const Text& file) {
    std::vector<EndedLine> lines;
    lines.reserve(static_cast<std::size_t>(file.line_count));
    for (int32_t i = 0; i < file.line_count; ++i) {
        lines.push_back({line_text(file, i), line_end_of(file, i)});
    }
    return lines;
}

// One side's lines as a side holds them: one buffer, a line feed after each line but a
// last one that had none, in the encoding and form of `file`. Returns false when memory
// runs out.
bool side_text(const std::vector<EndedLine>& lines, const Text& file, Text& out) {
    std::size_t bytes = 0;
    for (const EndedLine& l : lines) {
        bytes += l.text.size() + 1;
    }
    const std::size_t capacity = bytes + LENT_SPARE_BYTES;
    if (merge_allocation_refused(capacity) ||
        merge_allocation_refused(lines.size() * sizeof(char*))) {
        return false;
    }
    out = Text();
    out.text.reset(new (std::nothrow) char[capacity]);
    if (!out.text) {
        return false;
    }
    try {
        out.lines.reserve(lines.size());
        out.ends.reserve(lines.size());
    } catch (const std::bad_alloc&) {
        return false;
    }
    out.text_capacity = capacity;
    char* p = out.text.get();
    for (const EndedLine& l : lines) {
        out.lines.push_back(p);
        std::memcpy(p, l.text.data(), l.text.size());
        p += l.text.size();
        out.text_end = p;
        *p++ = '\n';
        out.ends.push_back(l.end);
    }
    if (!lines.empty() && lines.back().end == ENDS_NONE) {
        --p;  // the line feed just written is not the file's
    }
    if (lines.empty()) {
        out.text_end = p;
    }
    *p = '\0';
    out.line_count = static_cast<int32_t>(lines.size());
    out.encoding = file.encoding;
    out.charset = file.charset;  // the file's: its lines are written back in its form
    return true;
}

// The base sections' lines, each conflict's after the one before. Returns false when
// memory runs out.
bool base_text(const std::vector<EndedLine>& lines, LineList& out) {
    try {
        std::size_t bytes = 0;
        for (const EndedLine& l : lines) {
            bytes += l.text.size() + 1;
        }
        if (merge_allocation_refused(bytes)) {
            return false;
        }
        out = LineList();
        out.reserve(bytes, lines.size());
        for (const EndedLine& l : lines) {
            out.append(l.text);
        }
        return true;
    } catch (const std::bad_alloc&) {
        return false;
    }
}

}  // namespace

int load_conflict_file(const char* path) {
    if (std::strlen(path) > PATH_MAX_CHARS) {
        return load_side(path, SIDE_LEFT);  // refused there, with its message
    }
    Text file;
    // Write replaces the file with no backup: every byte outside the conflicts must
    // come back as it was, so text mode's losses are not taken.
    if (read_text_lines(path, file, READ_BYTE_EXACT) != 0) {
        return -1;
    }
    const std::vector<EndedLine> lines = ended_lines(file);
    ConflictSides sides;
    MarkerError error;
    if (!read_conflict_markers(lines, sides, error)) {
        const std::string text =
            format_message("%s, line %s: ", path, std::to_string(error.line).c_str()) + error.what;
        report_message(text.c_str(), SEVERITY_ERROR);
        return -1;
    }
    if (sides.conflicts == 0) {
        report_message(format_message("%s has no conflict markers", path).c_str(), SEVERITY_INFO);
        Text copy;
        if (!side_text(lines, file, copy)) {
            report_out_of_memory();
            return -1;
        }
        copy.stamp = file.stamp;
        install_side(file, path, SIDE_LEFT);
        install_side(copy, path, SIDE_RIGHT);
        return 1;
    }
    Text texts[2];
    LineList base;
    for (const Side s : {SIDE_LEFT, SIDE_RIGHT}) {
        if (!side_text(sides.lines[s], file, texts[s])) {
            report_out_of_memory();
            return -1;
        }
    }
    if (!base_text(sides.base_lines, base)) {
        report_out_of_memory();
        return -1;
    }
    for (const Side s : {SIDE_LEFT, SIDE_RIGHT}) {
        texts[s].stamp = file.stamp;
        install_side(texts[s], path, s);
        MergeSide& side = side_of(s);
        side.conflict_side = true;
        side.label = sides.labels[s];
        platform_repaint_title(s);
    }
    merge_document.conflicts = std::move(sides.ranges);
    merge_document.conflict_base = std::move(base);
    return 0;
}

// One side's share of a conflict that has `count` lines from `first` (0-based) against
// `other_count` lines on the other side: its own lines and the filler rows that pad it to the
// taller part, as the listing parser makes them. A conflict without lines on either
// side gets a filler row on both, so that it has a row to be seen and clicked.
static void conflict_entries(int32_t first, int32_t count, int32_t other_count, DiffBlock& own,
                             DiffBlock& filler) {
    own = count > 0 ? DiffBlock{first + 1, first + count, 0} : ABSENT_ENTRY;
    const int32_t rows = std::max(std::max(count, other_count), 1);
    filler = count < rows ? DiffBlock{first + count + 1, first + rows, 0} : ABSENT_ENTRY;
}

int install_conflict_blocks() {
    BlockTables tables;
    try {
        BlockTable* all[4] = {&tables.left_own, &tables.left_filler, &tables.right_own,
                              &tables.right_filler};
        const std::size_t n = merge_document.conflicts.size() + 1;
        if (merge_allocation_refused(n * sizeof(DiffBlock))) {
            throw std::bad_alloc();
        }
        for (BlockTable* t : all) {
            t->reserve(n);
        }
        for (const ConflictRange& c : merge_document.conflicts) {
            DiffBlock e[4];
            conflict_entries(c.first[0], c.count[0], c.count[1], e[0], e[1]);
            conflict_entries(c.first[1], c.count[1], c.count[0], e[2], e[3]);
            for (int i = 0; i < 4; ++i) {
                all[i]->push_back(e[i]);
            }
        }
        for (BlockTable* t : all) {
            t->push_back(END_MARKER);
        }
    } catch (const std::bad_alloc&) {
        report_out_of_memory();
        return -1;
    }
    install_tables(std::move(tables));
    merge_document.not_compared = 0;
    platform_repaint_panes();
    return 0;
}

bool in_conflict_mode() {
    const MergeDocument& doc = merge_document;
    return doc.left.conflict_side && doc.right.conflict_side;
}

bool keeps_line_ends() {
    return merge_document.keep_line_ends != 0 || in_conflict_mode();
}

std::string side_title(const MergeSide& side) {
    std::string title = side.path;
    if (side.conflict_side && !title.empty()) {
        title += " (" + side.label + ")";
    }
    return title;
}
