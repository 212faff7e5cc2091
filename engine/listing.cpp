#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "common/native_file.h"
#include "common/report.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"

namespace {

struct ListingState {
    FILE* file = nullptr;
    bool open_failed = false;  // this pair could not open its output file
    bool stream_error = false;
    bool stdout_fallback = false;
};
ListingState listing;

bool to_stdout() {
    return listing.stdout_fallback && engine_options.output_path.empty();
}

// The output file, empty. A name that is free (the program's listing always) gets a
// file created as new rather than opened truncated: wine truncates a file it opens that
// way even when it has just created it, and the file system then writes all of a
// truncated file out to the disk when it is closed, which held up the close of a 200 MB
// listing for 100 ms and more.
FILE* open_output_file(const char* path) {
    FILE* file = native_create_new(path, true);
    return file != nullptr ? file : native_fopen(path, "w");
}

void put(const char* data, std::size_t n) {
    if (listing.file != nullptr && n > 0 && std::fwrite(data, 1, n, listing.file) != n) {
        listing.stream_error = true;
    }
}

void put(const std::string& s) {
    put(s.data(), s.size());
}

// A line of a huge file (a file of one line) is written in pieces, between which the
// user may stop the work.
constexpr std::size_t LISTING_PIECE = std::size_t{4} << 20;

// How far the run stands while the listing is written (print_change_listing).
std::uint32_t listed_permille = SEARCHED_PERMILLE;

void put_line_text(const char* data, std::size_t n) {
    while (n > LISTING_PIECE) {
        put(data, LISTING_PIECE);
        data += LISTING_PIECE;
        n -= LISTING_PIECE;
        engine_progress(listed_permille);
    }
    put(data, n);
}

std::string format_range(std::int32_t a, std::int32_t b, std::int32_t prefix) {
    const std::int32_t first = a + prefix + 1;
    const std::int32_t last = b + prefix + 1;
    char buf[32];
    if (last > first) {
        std::snprintf(buf, sizeof buf, "%d,%d", first, last);
    } else {
        std::snprintf(buf, sizeof buf, "%d", last);
    }
    return buf;
}

// Writes one line's text, tabs expanded to 8 columns, re-writing the marker after a
// carriage return that does not end the line.
void write_expanded(const char* p, const char* end, const char* marker_text) {
    std::string out;
    out.reserve(std::min(static_cast<std::size_t>(end - p), LISTING_PIECE) + 16);
    int column = 0;
    for (; p < end; ++p) {
        const unsigned char c = static_cast<unsigned char>(*p);
        switch (c) {
            case '\t': {
                const int spaces = 8 - column % 8;
                out.append(static_cast<std::size_t>(spaces), ' ');
                column += spaces;
                break;
            }
            case '\b':
                if (column > 0) {
                    out += '\b';
                    --column;
                }
                break;
            case '\r':
                out += '\r';
                column = 0;
                if (p + 1 < end && p[1] != '\n') {
                    out += marker_text;
                }
                break;
            case '\v':
            case '\f':
                out += static_cast<char>(c);
                break;
            default:
                out += static_cast<char>(c);
                if (CHAR_CLASS_TABLE[c] != CHAR_CONTROL) {
                    ++column;
                }
                break;
        }
        if (out.size() >= LISTING_PIECE) {
            put(out);
            out.clear();
            engine_progress(listed_permille);
        }
    }
    put(out);
}

void write_listing_line(const char* marker, InputFile& file, std::int32_t index) {
    const char* text = file.data();
    const char* start = text + file.line_starts[index];
    const char* end = text + file.line_starts[index + 1];
    std::string marker_text = marker;
    marker_text += engine_options.tab_after_marker ? '\t' : ' ';
    put(marker_text);
    if (engine_options.tabs_to_spaces) {
        write_expanded(start, end, marker_text.c_str());
    } else {
        put_line_text(start, static_cast<std::size_t>(end - start));
    }
    if (end == start || end[-1] != '\n') {
        put("No newline at end of file\n");
    }
}

bool line_is_empty(InputFile& file, std::int32_t index) {
    return file.data()[file.line_starts[index]] == '\n';
}

}  // namespace

void engine_set_stdout_fallback(bool on) {
    listing.stdout_fallback = on;
}

void reset_listing_state() {
    if (listing.file != nullptr && listing.file != stdout) {
        std::fclose(listing.file);
    }
    const bool fallback = listing.stdout_fallback;
    listing = ListingState{};
    listing.stdout_fallback = fallback;
}

void begin_pair_output() {
    listing.open_failed = false;
}

bool listing_open_failed() {
    return listing.open_failed;
}
bool listing_is_open() {
    return listing.file != nullptr;
}

int open_listing() {
    if (listing.file != nullptr) {
        return 0;
    }
    if (listing.open_failed) {
        return -1;  // reported once for the pair
    }
    if (to_stdout()) {
        listing.file = stdout;
    } else {
        listing.file = engine_options.output_path.empty()
                           ? nullptr
                           : open_output_file(engine_options.output_path.c_str());
    }
    if (listing.file == nullptr) {
        listing.open_failed = true;
        report_engine_error("Can't open output file");
        return -1;
    }
    return 0;
}

void close_listing() {
    if (listing.file == nullptr) {
        return;
    }
    bool ok = std::ferror(listing.file) == 0 && !listing.stream_error;
    if (listing.file == stdout) {
        ok = std::fflush(stdout) == 0 && ok;
    } else {
        ok = std::fclose(listing.file) == 0 && ok;
    }
    listing.file = nullptr;
    listing.stream_error = false;
    if (!ok) {
        // A listing that is silently short would be taken for the whole truth.
        report_engine_error("Error writing temp. file");
        listing.open_failed = true;
    }
}

void flush_listing() {
    if (listing.file != nullptr) {
        std::fflush(listing.file);
    }
}

bool finish_listing() {
    if (listing.file == nullptr) {
        return true;
    }
    bool ok = std::ferror(listing.file) == 0 && !listing.stream_error;
    ok = (listing.file == stdout ? std::fflush(stdout) : std::fclose(listing.file)) == 0 && ok;
    listing.file = nullptr;
    return ok;
}

void emit_message(const char* format, const char* arg1, const char* arg2) {
    if (listing.file == nullptr) {
        return;
    }
    const std::string text = format_message(format, arg1, arg2);
    put(text);
}

HunkMeasure measure_hunk(InputFile files[2], const Change* first, std::size_t count) {
    const Change& last = first[count - 1];
    HunkMeasure m;
    m.first0 = first->first0;
    m.first1 = first->first1;
    m.last0 = last.first0 + last.deleted_count - 1;
    m.last1 = last.first1 + last.inserted_count - 1;
    m.deletes = 0;
    m.inserts = 0;
    for (std::size_t k = 0; k < count; ++k) {
        m.deletes += first[k].deleted_count;
        m.inserts += first[k].inserted_count;
    }
    if (engine_options.skip_blank_hunks) {
        bool ignorable = true;
        for (std::int32_t i = m.first0; ignorable && i <= m.last0; ++i) {
            ignorable = line_is_empty(files[0], i);
        }
        for (std::int32_t i = m.first1; ignorable && i <= m.last1; ++i) {
            ignorable = line_is_empty(files[1], i);
        }
        if (ignorable) {
            m.deletes = m.inserts = 0;
        }
    }
    return m;
}

// A listing of a million hunks takes a while to write: every 4,096 hunks it says how
// far it came, and the user may stop it.
static void count_hunk(std::size_t& hunks, std::size_t all) {
    if (++hunks % 4096 == 0) {
        listed_permille = SEARCHED_PERMILLE +
                          static_cast<std::uint32_t>((1000 - SEARCHED_PERMILLE) * hunks / all);
        engine_progress(listed_permille);
    }
}

int print_change_listing(InputFile files[2], const std::vector<Change>& script) {
    std::size_t hunks = 0;
    listed_permille = SEARCHED_PERMILLE;
    for (const Change& change : script) {
        count_hunk(hunks, script.size());
        const HunkMeasure m = measure_hunk(files, &change, 1);
        if (m.deletes == 0 && m.inserts == 0) {
            continue;
        }
        if (open_listing() != 0) {
            return -1;
        }
        const char letter = m.inserts == 0 ? 'd' : m.deletes == 0 ? 'a' : 'c';
        put(format_range(m.first0, m.last0, files[0].prefix_line_count) + letter +
            format_range(m.first1, m.last1, files[1].prefix_line_count) + "\n");
        if (m.deletes != 0) {
            for (std::int32_t i = m.first0; i <= m.last0; ++i) {
                write_listing_line("<", files[0], i);
            }
        }
        if (m.deletes != 0 && m.inserts != 0) {
            put("---\n");
        }
        if (m.inserts != 0) {
            for (std::int32_t i = m.first1; i <= m.last1; ++i) {
                write_listing_line(">", files[1], i);
            }
        }
    }
    return 0;
}
