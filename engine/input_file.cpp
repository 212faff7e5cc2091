#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <limits>

#include "common/textio.h"
#include "engine/engine_internal.h"

// clang-format off
const unsigned char CHAR_CLASS_TABLE[256] = {
    // 0-15: controls, except backspace, tab, line feed, vertical tab, form feed, CR
    0, 0, 0, 0, 0, 0, 0, 0, 2, 2, 1, 2, 2, 2, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0,
    2, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
    1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1, 1,
};
// clang-format on

static const std::uint32_t BUCKET_PRIMES[] = {
    509,      1021,     2039,      4093,      8191,      16381,      32749,      65521,
    131071,   262139,   524287,    1048573,   2097143,   4194301,    8388593,    16777213,
    33554393, 67108859, 134217689, 268435399, 536870909, 1073741789, 2147483647, 0};

// Data held per file is addressed with 32-bit offsets; anything larger cannot be held.
static constexpr std::uint64_t MAX_TEXT = std::numeric_limits<std::int32_t>::max() - 16;

std::size_t read_text_mode(InputFile& file, char* buffer, std::size_t want) {
    std::size_t total = 0;
    while (total < want && !file.data_ended) {
        const std::size_t chunk = want - total < (1u << 30) ? want - total : (1u << 30);
        const int n =
            static_cast<int>(::read(file.descriptor, buffer + total, static_cast<unsigned>(chunk)));
        if (n < 0) {
            report_engine_error("Error in file %s", file.name.c_str());
            break;
        }
        if (n == 0) {
            break;
        }
        total += text_mode_filter(buffer + total, static_cast<std::size_t>(n), &file.data_ended);
    }
    return total;
}

// Makes sure `file.text` can hold `needed` data bytes plus the line feed completion may
// append and four zero bytes.
static void reserve_text(InputFile& file, std::uint64_t needed) {
    if (needed > MAX_TEXT) {
        engine_out_of_memory();
    }
    const std::size_t want = static_cast<std::size_t>(needed) + 5;
    if (file.text && want <= file.text_capacity) {
        return;
    }
    std::size_t capacity = file.text_capacity > 0 ? file.text_capacity : 4;
    while (capacity < want) {
        capacity = capacity > MAX_TEXT / 2 ? static_cast<std::size_t>(MAX_TEXT) + 5 : capacity * 2;
    }
    char* old = file.text.release();
    file.text.reset(static_cast<char*>(engine_realloc(old, capacity)));
    file.text_capacity = capacity;
}

// Reads the first block and tells whether it looks binary (a zero byte among the bytes
// read). `skip` reads nothing.
static int read_first_block(InputFile& file, bool skip) {
    if (file.is_absent()) {
        file.text.reset(static_cast<char*>(engine_alloc(4)));
        std::memset(file.text.get(), 0, 4);
        file.text_capacity = 4;
        file.text_length = 0;
        return 0;
    }
    // Room for a whole block, or a regular file's whole size, plus the spare bytes.
    const std::size_t block = file.block_size();
    std::uint64_t data = block;
    if (file.status.is_regular && file.status.size > data) {
        data = file.status.size;
    }
    reserve_text(file, data);
    file.text_length = 0;
    if (skip) {
        return 0;
    }
    const std::size_t got = read_text_mode(file, file.text.get(), block);
    file.text_length = static_cast<std::int64_t>(got);
    return got > 0 && std::memchr(file.text.get(), 0, got) != nullptr ? 1 : 0;
}

// Reads the rest of the file. A pipe or standard input is read to its end as well, so
// that it is compared whole. A regular file's buffer is already sized from its size on
// disk; it grows only when the file holds more than that.
static void read_remaining_text(InputFile& file) {
    if (file.is_absent()) {
        return;
    }
    for (;;) {
        std::size_t room = file.text_capacity - 5 - static_cast<std::size_t>(file.text_length);
        if (room == 0) {
            // The buffer is full: read a little more before growing it, so that a file
            // that ends exactly here costs no second buffer.
            char probe[4096];
            const std::size_t got = read_text_mode(file, probe, sizeof probe);
            if (got == 0) {
                break;
            }
            reserve_text(file, static_cast<std::uint64_t>(file.text_length) + got + 65536);
            std::memcpy(file.text.get() + file.text_length, probe, got);
            file.text_length += static_cast<std::int64_t>(got);
            continue;
        }
        const std::size_t got = read_text_mode(file, file.text.get() + file.text_length, room);
        file.text_length += static_cast<std::int64_t>(got);
        if (got < room) {
            break;  // end of the data (or a read error, already reported)
        }
    }
}

static void complete_final_line(InputFile& file) {
    char* t = file.data();
    file.lacks_final_newline = 0;
    if (file.text_length > 0 && t[file.text_length - 1] != '\n') {
        t[file.text_length++] = '\n';
        file.lacks_final_newline = engine_options.skip_blank_hunks ? 0 : 1;
    }
    std::memset(t + file.text_length, 0, 4);
}

// Position of the first byte where the two data differ; `a` holds a sentinel after the
// shorter data so that no bounds test is needed.
static std::int64_t first_difference(const char* a, const char* b) {
    std::int64_t i = 0;
    for (;;) {
        std::uint32_t wa;
        std::uint32_t wb;
        std::memcpy(&wa, a + i, 4);
        std::memcpy(&wb, b + i, 4);
        if (wa != wb) {
            break;
        }
        i += 4;
    }
    while (a[i] == b[i]) {
        ++i;
    }
    return i;
}

static void trim_identical_ends(InputFile files[2]) {
    InputFile& f0 = files[0];
    InputFile& f1 = files[1];
    const bool shared = f0.descriptor == f1.descriptor;
    read_remaining_text(f0);
    if (!shared) {
        read_remaining_text(f1);
    }
    complete_final_line(f0);
    if (shared) {
        f1.shared_text = f0.text.get();
        f1.text_capacity = f0.text_capacity;
        f1.text_length = f0.text_length;
        f1.lacks_final_newline = f0.lacks_final_newline;
    } else {
        complete_final_line(f1);
    }
    char* t0 = f0.data();
    char* t1 = f1.data();
    const std::int64_t len0 = f0.text_length;
    const std::int64_t len1 = f1.text_length;

    std::int64_t p;
    if (shared) {
        p = len0;
    } else {
        // The sentinel replaces one of the zero bytes after the shorter data; it is put
        // back afterwards.
        const std::int64_t at = len0 < len1 ? len0 : len1;
        char* target = len0 < len1 ? t0 : t1;
        const char* other = len0 < len1 ? t1 : t0;
        const char saved = target[at];
        target[at] = static_cast<char>(~other[at]);
        // The word compare may look up to three bytes past `at`: both buffers have four
        // zero bytes after their data, and the longer one has real data there.
        p = first_difference(t0, t1);
        target[at] = saved;
        if (p > at) {
            p = at;
        }
        const bool passed0 = f0.lacks_final_newline ? p > len0 - 1 : p > len0;
        const bool passed1 = f1.lacks_final_newline ? p > len1 - 1 : p > len1;
        if (passed0 != passed1) {
            --p;
        }
    }
    while (p > 0 && t0[p - 1] != '\n') {
        --p;
    }
    f0.middle_begin = f1.middle_begin = p;

    if (f0.lacks_final_newline == f1.lacks_final_newline) {
        std::int64_t e0 = len0;
        std::int64_t e1 = len1;
        const std::int64_t limit0 = f0.middle_begin + (len0 > len1 ? len0 - len1 : 0);
        while (e0 > limit0 && t0[e0 - 1] == t1[e1 - 1]) {
            --e0;
            --e1;
        }
        const bool inside = (e0 != 0 && t0[e0 - 1] != '\n') || (e1 != 0 && t1[e1 - 1] != '\n');
        int feeds = inside ? 2 : 1;
        const std::int64_t start0 = e0;
        while (feeds > 0 && e0 < len0) {
            if (t0[e0++] == '\n') {
                --feeds;
            }
        }
        e1 += e0 - start0;
        f0.middle_end = e0;
        f1.middle_end = e1;
    } else {
        f0.middle_end = len0;
        f1.middle_end = len1;
    }

    if (f0.middle_end == f0.middle_begin && f1.middle_end == f1.middle_begin) {
        f0.prefix_line_count = 0;
    } else {
        std::int32_t n = 0;
        for (const char* q = t0; q < t0 + f0.middle_begin;) {
            const void* nl =
                std::memchr(q, '\n', static_cast<std::size_t>(t0 + f0.middle_begin - q));
            if (nl == nullptr) {
                break;
            }
            ++n;
            q = static_cast<const char*>(nl) + 1;
        }
        f0.prefix_line_count = n;
    }
    f1.prefix_line_count = f0.prefix_line_count;

    const double middle0 = static_cast<double>(f0.middle_end - f0.middle_begin);
    const double middle1 = static_cast<double>(f1.middle_end - f1.middle_begin);
    f0.line_capacity = 1 + static_cast<std::int32_t>(middle0 / 32 + 5);
    double per_line = 32;
    if (f0.prefix_line_count >= 10) {
        per_line = static_cast<double>(f1.middle_begin / (f0.prefix_line_count - 1));
        if (per_line < 1) {
            per_line = 1;
        }
    }
    f1.line_capacity = static_cast<std::int32_t>(middle1 / per_line + 5);
}

namespace {

struct LineClass {
    std::int32_t chain_next;
    std::uint32_t hash_value;
    const char* sample;
    std::int32_t sample_length;
};

struct ClassTables {
    std::vector<LineClass> classes;  // index 0 unused: it ends chains
    std::vector<std::int32_t> buckets;
    std::uint32_t bucket_count = 0;
};

inline std::uint32_t rotate7(std::uint32_t h) {
    return (h << 7) | (h >> 25);
}

inline unsigned char fold_letter(unsigned char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<unsigned char>(c + 32) : c;
}

// Hash of the line starting at `p` (ended by its line feed) under the white-space and
// case rules given as template arguments, so that each rule set gets its own tight
// loop; `*end` receives the position of that line feed.
template <bool SKIP_BLANKS, bool SPACE_AMOUNT, bool FOLD>
std::uint32_t hash_line_as(const unsigned char* p, const unsigned char** end) {
    std::uint32_t h = 0;
    while (*p != '\n') {
        unsigned char c = *p;
        if constexpr (SKIP_BLANKS) {
            ++p;
            if (CHAR_CLASS_TABLE[c] == CHAR_WHITE) {
                continue;
            }
        } else if constexpr (SPACE_AMOUNT) {
            if (c == ' ' || c == '\t') {
                while (*p == ' ' || *p == '\t') {
                    ++p;
                }
                if (*p == '\n') {
                    break;  // blanks before the line end do not count
                }
                h = 32 + rotate7(h);
                continue;
            }
            ++p;
        } else {
            ++p;
        }
        if constexpr (FOLD) {
            c = fold_letter(c);
        }
        h = c + rotate7(h);
    }
    *end = p;
    return h;
}

using HashFunction = std::uint32_t (*)(const unsigned char*, const unsigned char**);

// -w takes precedence over -b.
HashFunction hash_for_options() {
    const EngineOptions& o = engine_options;
    if (o.skip_all_blanks) {
        return o.fold_case ? hash_line_as<true, false, true> : hash_line_as<true, false, false>;
    }
    if (o.ignore_space_amount) {
        return o.fold_case ? hash_line_as<false, true, true> : hash_line_as<false, true, false>;
    }
    return o.fold_case ? hash_line_as<false, false, true> : hash_line_as<false, false, false>;
}

}  // namespace

bool lines_equivalent(const char* a, std::int64_t alen, const char* b, std::int64_t blen) {
    if (alen == blen && std::memcmp(a, b, static_cast<std::size_t>(alen)) == 0) {
        return true;
    }
    const EngineOptions& o = engine_options;
    if (!o.fold_case && !o.ignore_space_amount && !o.skip_all_blanks) {
        return false;
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    for (;;) {
        unsigned char c1;
        unsigned char c2;
        if (o.skip_all_blanks) {
            while (CHAR_CLASS_TABLE[*p] == CHAR_WHITE) {
                ++p;
            }
            while (CHAR_CLASS_TABLE[*q] == CHAR_WHITE) {
                ++q;
            }
            c1 = *p++;
            c2 = *q++;
        } else if (o.ignore_space_amount) {
            auto token = [](const unsigned char*& s) -> unsigned char {
                if (*s == ' ' || *s == '\t') {
                    while (*s == ' ' || *s == '\t') {
                        ++s;
                    }
                    return *s == '\n' ? '\n' : ' ';
                }
                return *s++;
            };
            c1 = token(p);
            c2 = token(q);
        } else {
            c1 = *p++;
            c2 = *q++;
        }
        if (o.fold_case) {
            c1 = fold_letter(c1);
            c2 = fold_letter(c2);
        }
        if (c1 != c2) {
            return false;
        }
        if (c1 == '\n') {
            return true;
        }
    }
}

// Two passes: the first hashes every middle line and finds its end, the second looks
// the lines up. Knowing the hashes ahead lets the second pass prefetch the bucket and
// class entries of lines a few steps ahead: on large files those lookups are cache
// misses that would otherwise dominate the whole comparison.
static void classify_lines(InputFile& file, ClassTables& tables) {
    const EngineOptions& o = engine_options;
    char* t = file.data();
    const std::int64_t data_end = file.text_length;
    std::vector<std::uint32_t>& starts = file.line_starts;
    std::vector<std::int32_t>& classes = file.line_classes;
    const HashFunction hash_line = hash_for_options();
    starts.clear();
    classes.clear();
    starts.reserve(static_cast<std::size_t>(file.line_capacity) + 1);
    classes.reserve(static_cast<std::size_t>(file.line_capacity));
    for (std::int64_t pos = file.middle_begin; pos < file.middle_end;) {
        const unsigned char* nl;
        const std::uint32_t h = hash_line(reinterpret_cast<const unsigned char*>(t + pos), &nl);
        starts.push_back(static_cast<std::uint32_t>(pos));
        classes.push_back(static_cast<std::int32_t>(h));
        pos = (reinterpret_cast<const char*>(nl) - t) + 1;
    }
    const std::int32_t count = static_cast<std::int32_t>(classes.size());
    std::int64_t end = file.middle_end;
    if (file.lacks_final_newline && end == data_end) {
        --end;  // the last line's extent excludes the appended line feed
    }
    starts.push_back(static_cast<std::uint32_t>(end));

    const bool loose = o.blank_rules_on != 0;
    const std::uint32_t nb = tables.bucket_count;
    std::int32_t* const buckets = tables.buckets.data();
    constexpr std::int32_t BUCKET_AHEAD = 16;
    constexpr std::int32_t CLASS_AHEAD = 8;
    for (std::int32_t i = 0; i < count; ++i) {
        if (i + BUCKET_AHEAD < count) {
            __builtin_prefetch(
                &buckets[static_cast<std::uint32_t>(classes[i + BUCKET_AHEAD]) % nb]);
        }
        if (i + CLASS_AHEAD < count) {
            const std::int32_t ahead =
                buckets[static_cast<std::uint32_t>(classes[i + CLASS_AHEAD]) % nb];
            if (ahead != 0) {
                __builtin_prefetch(&tables.classes[ahead]);
            }
        }
        const std::int64_t pos = starts[i];
        const std::int64_t next = i + 1 < count ? starts[i + 1] : file.middle_end;
        std::int64_t length = next - pos;
        if (file.lacks_final_newline && next == data_end) {
            --length;
        }
        const char* line = t + pos;
        const std::uint32_t h = static_cast<std::uint32_t>(classes[i]);
        std::int32_t& head = buckets[h % nb];
        std::int32_t found = 0;
        for (std::int32_t c = head; c != 0; c = tables.classes[c].chain_next) {
            const LineClass& lc = tables.classes[c];
            if (lc.hash_value == h && (lc.sample_length == length || loose) &&
                lines_equivalent(lc.sample, lc.sample_length, line, length)) {
                found = c;
                break;
            }
        }
        if (found == 0) {
            found = static_cast<std::int32_t>(tables.classes.size());
            tables.classes.push_back({head, h, line, static_cast<std::int32_t>(length)});
            head = found;
        }
        classes[i] = found;
    }
    file.line_count = count;
}

int load_input_pair(InputFile files[2]) {
    const int binary0 = read_first_block(files[0], false);
    int binary1;
    if (files[0].descriptor == files[1].descriptor) {
        binary1 = binary0;
    } else {
        binary1 = read_first_block(files[1], binary0 == 1);
    }
    if ((binary0 || binary1) && !engine_options.force_text) {
        return 1;
    }
    if (files[0].descriptor == files[1].descriptor) {
        // One open file serves both sides.
        files[1].text.reset();
    }
    trim_identical_ends(files);

    ClassTables tables;
    const std::size_t capacity =
        static_cast<std::size_t>(files[0].line_capacity) + files[1].line_capacity + 1;
    std::uint32_t buckets = 0;
    for (const std::uint32_t* b = BUCKET_PRIMES; *b != 0; ++b) {
        if (*b >= capacity / 3) {
            buckets = *b;
            break;
        }
    }
    if (buckets == 0) {
        engine_out_of_memory();
    }
    tables.bucket_count = buckets;
    tables.buckets.assign(buckets, 0);
    tables.classes.reserve(capacity);
    tables.classes.push_back({0, 0, nullptr, 0});
    classify_lines(files[0], tables);
    classify_lines(files[1], tables);
    files[0].class_limit = files[1].class_limit = static_cast<std::int32_t>(tables.classes.size());
    return 0;
}
