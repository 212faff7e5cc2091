#include <algorithm>
#include <atomic>
#include <bit>
#include <cstdint>
#include <cstring>
#include <exception>
#include <functional>
#include <memory>
#include <thread>
#include <vector>

#include "common/byte_scan.h"
#include "common/unicode.h"
#include "common/white_space.h"
#include "engine/engine.h"
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

namespace {

// A bucket for every line the pair holds: on the 1,000,000-line pair, with a third as
// many, the first file's classification took a fifth longer (more chains to follow
// past their head, which alone is prefetched). Not rounded up: the hashes are mixed
// and pick their bucket by multiplication (BucketView), so any count spreads them, and
// each bucket more is fresh memory to write (rounding up to the prime below the next
// power of two would add 27 MB on the 5,000,000-line pair).
constexpr std::size_t CLASSES_PER_BUCKET = 1;

// How far ahead the lookup pass prefetches: the bucket of the line 16 ahead, and the
// head class of the line 8 ahead (whose bucket has arrived by then).
constexpr std::int32_t BUCKET_AHEAD = 16;
constexpr std::int32_t CLASS_AHEAD = 8;
// The lines looked up on the calling thread between two progress reports, less one.
constexpr std::int32_t PROGRESS_LINES_MASK = (1 << 16) - 1;
// Where the run stands after hashing, after the first file, after the second file's
// lines that join its classes, and at the end: classification is its first fifth.
constexpr std::uint32_t HASHED_PERMILLE = 50;
constexpr std::uint32_t FIRST_FILE_PERMILLE = 100;
constexpr std::uint32_t JOINED_PERMILLE = 150;
constexpr std::uint32_t CLASSIFIED_PERMILLE = 200;

// The first line of a class is held as its line index in its file, with this bit set
// for the second file: 12 bytes a class, and its line table gives its text and length.
constexpr std::uint32_t SAMPLE_IN_SECOND = 0x80000000u;

struct LineClass {
    std::int32_t chain_next;  // next class in the same bucket, 0 = end of chain
    std::uint32_t hash_value;
    std::uint32_t sample;  // the first line of this class (see SAMPLE_IN_SECOND)
};

// The class and bucket tables of one pair; they live only while the pair is classified.
struct ClassTables {
    Table<LineClass> classes;  // index 0 unused: it ends chains
    Table<std::int32_t> buckets;
    std::uint32_t bucket_count = 0;
    const char* texts[2] = {nullptr, nullptr};  // the data the samples lie in
    const std::uint32_t* starts[2] = {nullptr, nullptr};
    DisplayCharset charsets[2] = {CHARSET_UTF8, CHARSET_UTF8};
    bool rules_on = false;  // -b, -w or -i: lines of other bytes may be equivalent
};

inline std::uint32_t rotate7(std::uint32_t h) {
    return (h << 7) | (h >> 25);
}

// The rotating sum leaves lines that differ in a few bytes close together; the bucket
// index needs every bit of the hash to depend on every byte, or similar lines crowd a
// few chains.
inline std::uint32_t mix_hash(std::uint32_t h) {
    h ^= h >> 16;
    h *= 0x7feb352du;
    h ^= h >> 15;
    h *= 0x846ca68bu;
    h ^= h >> 16;
    return h;
}

// The bytes the -w hash leaves out: every byte that may belong to white space (see
// common/white_space.h) in either charset, 0xC2 and 0xA0 wherever they stand, so that
// one hash serves files of both charsets. Lines equal but for their
// white space keep the same bytes otherwise, so they hash alike; lines that differ
// only in a 0xC2 or 0xA0 of another character collide, and the comparison of the lines
// that confirms every equal hash tells them apart.
constexpr bool skipped_by_blank_hash(unsigned char c) {
    return is_ascii_white(c) || c == 0xA0 || c == 0xC2;
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
            if constexpr (FOLD) {
                c = fold_letter(c);
            }
            // Without a branch (a mask, which compilers keep as one): blanks fall every
            // few bytes, too irregularly to predict.
            const std::uint32_t keep =
                std::uint32_t{0} - static_cast<std::uint32_t>(!skipped_by_blank_hash(c));
            h = ((c + rotate7(h)) & keep) | (h & ~keep);
            continue;
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
    return mix_hash(h);
}

// Hash of a line under no white-space or case rule, eight bytes at a time: bytes are
// equal only as themselves, so any hash of them will do. The data is followed by eight
// zero bytes, so a word may reach past the last line feed.
std::uint32_t hash_plain_line(const unsigned char* p, const unsigned char** end) {
    if constexpr (std::endian::native != std::endian::little) {
        return hash_line_as<false, false, false>(p, end);
    }
    constexpr std::uint64_t ONES = 0x0101010101010101u;
    constexpr std::uint64_t HIGHS = 0x8080808080808080u;
    constexpr std::uint64_t FEEDS = ONES * '\n';
    constexpr std::uint64_t MULTIPLIER = 0x9e3779b97f4a7c15u;
    std::uint64_t h = 0;
    for (const unsigned char* q = p;; q += 8) {
        std::uint64_t w;
        std::memcpy(&w, q, sizeof w);
        const std::uint64_t x = w ^ FEEDS;
        // The lowest byte that was a line feed has its high bit set here (bytes above it
        // may be flagged wrongly; only the lowest counts).
        const std::uint64_t feeds = (x - ONES) & ~x & HIGHS;
        if (feeds != 0) {
            const int bits = __builtin_ctzll(feeds) - 7;
            const std::uint64_t kept = bits == 0 ? 0 : w & (~std::uint64_t{0} >> (64 - bits));
            *end = q + bits / 8;
            h = (((h << 23) | (h >> 41)) ^ kept ^ static_cast<std::uint64_t>(*end - p)) *
                MULTIPLIER;
            return static_cast<std::uint32_t>(h >> 32);
        }
        h = (((h << 23) | (h >> 41)) ^ w) * MULTIPLIER;
    }
}

bool fast_paths = true;

// -w takes precedence over -b.
LineHash hash_for_options() {
    const EngineOptions& o = engine_options;
    if (o.skip_all_blanks) {
        const LineHash fast = fast_paths ? blank_skipping_hash(o.fold_case != 0) : nullptr;
        if (fast != nullptr) {
            return fast;
        }
        return o.fold_case ? hash_line_as<true, false, true> : hash_line_as<true, false, false>;
    }
    if (o.ignore_space_amount) {
        return o.fold_case ? hash_line_as<false, true, true> : hash_line_as<false, true, false>;
    }
    if (o.fold_case) {
        return hash_line_as<false, false, true>;
    }
    return fast_paths ? hash_plain_line : hash_line_as<false, false, false>;
}

// Past the white space at p, which is the start of a character of `charset`.
inline void skip_white(const unsigned char*& p, DisplayCharset charset) {
    for (std::size_t n = white_space_at(p, charset); n != 0; n = white_space_at(p, charset)) {
        p += n;
    }
}

// Bytes of the character at p, which is not ASCII: one in 8-bit text, a sequence (or
// one byte outside any) in UTF-8. A line ends with its line feed, which ends any
// sequence: 4 bytes may be read.
inline std::uint32_t character_size(const unsigned char* p, DisplayCharset charset) {
    return charset == CHARSET_8BIT ? 1 : decode_utf8(p, p + 4).size;
}

// Whether two lines are equal under -w: they hold the same characters, each of its own
// file's charset, once white space is left out. Characters are compared whole, not as
// bytes run together, so that a character can never be made of the bytes of two others
// with white space between, nor equal a character of the other charset.
template <bool FOLD>
bool walk_skipping_white(const unsigned char* p, DisplayCharset p_charset, const unsigned char* q,
                         DisplayCharset q_charset) {
    for (;;) {
        skip_white(p, p_charset);
        skip_white(q, q_charset);
        unsigned char c1 = *p;
        unsigned char c2 = *q;
        if (c1 < 0x80 || c2 < 0x80) {
            if constexpr (FOLD) {
                c1 = fold_letter(c1);
                c2 = fold_letter(c2);
            }
            if (c1 != c2) {
                return false;
            }
            if (c1 == '\n') {
                return true;
            }
            ++p;
            ++q;
            continue;
        }
        const std::uint32_t n = character_size(p, p_charset);
        if (character_size(q, q_charset) != n || std::memcmp(p, q, n) != 0) {
            return false;
        }
        p += n;
        q += n;
    }
}

// The next byte that counts under -b: a run of spaces and tabs reads as one space, or
// as the line feed when the run reaches it (which is then not passed).
inline unsigned char next_spaced(const unsigned char*& p) {
    if (*p == ' ' || *p == '\t') {
        while (*p == ' ' || *p == '\t') {
            ++p;
        }
        return *p == '\n' ? '\n' : ' ';
    }
    return *p++;
}

// Whether two lines are equal under one rule set, walked byte by byte up to their line
// feeds; a template like the hash, so that each rule set gets its own loop.
template <bool SPACE_AMOUNT, bool FOLD>
bool walk_equivalent(const unsigned char* p, const unsigned char* q) {
    for (;;) {
        unsigned char c1;
        unsigned char c2;
        if constexpr (SPACE_AMOUNT) {
            c1 = next_spaced(p);
            c2 = next_spaced(q);
        } else {
            c1 = *p++;
            c2 = *q++;
        }
        if constexpr (FOLD) {
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

}  // namespace

bool lines_equivalent(const char* a, std::int64_t alen, const char* b, std::int64_t blen,
                      DisplayCharset a_charset, DisplayCharset b_charset) {
    if (alen == blen && bytes_equal(a, b, static_cast<std::size_t>(alen))) {
        return true;
    }
    const EngineOptions& o = engine_options;
    if (!o.fold_case && !o.ignore_space_amount && !o.skip_all_blanks) {
        return false;
    }
    const unsigned char* p = reinterpret_cast<const unsigned char*>(a);
    const unsigned char* q = reinterpret_cast<const unsigned char*>(b);
    // -w takes precedence over -b.
    if (o.skip_all_blanks) {
        return o.fold_case ? walk_skipping_white<true>(p, a_charset, q, b_charset)
                           : walk_skipping_white<false>(p, a_charset, q, b_charset);
    }
    if (o.ignore_space_amount) {
        return o.fold_case ? walk_equivalent<true, true>(p, q) : walk_equivalent<true, false>(p, q);
    }
    return walk_equivalent<false, true>(p, q);  // only -i is on
}

namespace {

// Tables for both files' lines, once their lines are counted: the class table holds
// every line in the worst case, the bucket table a bucket for CLASSES_PER_BUCKET of them.
ClassTables make_class_tables(InputFile files[2]) {
    ClassTables tables;
    const std::size_t capacity = files[0].line_classes.size() + files[1].line_classes.size() + 1;
    // Class numbers and chains are 32-bit signed.
    if (capacity > INT32_MAX) {
        engine_out_of_memory();
    }
    const auto buckets = static_cast<std::uint32_t>(capacity / CLASSES_PER_BUCKET);
    tables.bucket_count = buckets;
    tables.buckets.resize(buckets);  // not written: see Table
    engine_bring_in(tables.buckets.data(), std::size_t{buckets} * sizeof(std::int32_t));
    // Emptied a step at a time, letting the window answer: 72 MB for two
    // 9,000,000-line files took 130 ms.
    constexpr std::uint32_t STEP = 1 << 21;
    for (std::uint32_t b = 0; b < buckets; b += STEP) {  // below 2^31 + STEP: no overflow
        engine_progress(HASHED_PERMILLE);
        std::fill_n(tables.buckets.data() + b, std::min(STEP, buckets - b), 0);
    }
    tables.classes.reserve(capacity);
    tables.classes.push_back({0, 0, 0});
    const EngineOptions& o = engine_options;
    tables.rules_on = o.skip_all_blanks || o.ignore_space_amount || o.fold_case;
    for (int f = 0; f < 2; ++f) {
        tables.texts[f] = files[f].data();
        tables.starts[f] = files[f].line_starts.data();
        tables.charsets[f] = files[f].charset;
    }
    return tables;
}

// First pass: finds every middle line's start and hash; the hashes are held in
// `line_classes` until the second pass replaces them with class numbers. The start
// table ends with the end of the last line (without an appended line feed).
//
// The pass runs in rounds so that both files may be hashed at once: hash_in_room
// allocates nothing (the allocator is not shared between threads), and between rounds
// the calling thread grows the tables when the guessed line count was short.
struct HashProgress {
    std::int64_t pos = 0;   // the start of the next line to hash
    std::size_t count = 0;  // lines hashed
};

// Sizes the tables for the guessed line count and starts at the first middle line.
HashProgress start_hashing(InputFile& file) {
    file.line_starts.clear();
    file.line_classes.clear();
    file.line_starts.resize(static_cast<std::size_t>(file.line_capacity) + 1);
    file.line_classes.resize(static_cast<std::size_t>(file.line_capacity));
    engine_bring_in(file.line_starts.data(), file.line_starts.size() * sizeof(std::uint32_t));
    engine_bring_in(file.line_classes.data(), file.line_classes.size() * sizeof(std::int32_t));
    HashProgress progress;
    progress.pos = file.middle_begin;
    return progress;
}

// Hashes lines from `progress` on while the tables' present size has room for them
// (one start is kept for the end).
// `hashed`, when given, is told every so many lines how many bytes are done.
void hash_in_room(InputFile& file, LineHash hash_line, HashProgress& progress,
                  std::atomic<std::int64_t>* hashed = nullptr) {
    const char* t = file.data();
    std::uint32_t* const starts = file.line_starts.data();
    std::int32_t* const hashes = file.line_classes.data();
    const std::size_t room = file.line_classes.size();
    const std::int64_t end = file.middle_end;
    std::int64_t pos = progress.pos;
    std::size_t n = progress.count;
    while (pos < end && n < room) {
        if (hashed != nullptr && (n & PROGRESS_LINES_MASK) == 0) {
            hashed->store(pos - file.middle_begin, std::memory_order_relaxed);
        }
        const unsigned char* nl;
        const std::uint32_t h = hash_line(reinterpret_cast<const unsigned char*>(t + pos), &nl);
        starts[n] = static_cast<std::uint32_t>(pos);
        hashes[n] = static_cast<std::int32_t>(h);
        ++n;
        pos = (reinterpret_cast<const char*>(nl) - t) + 1;
    }
    progress.pos = pos;
    progress.count = n;
}

// Makes room for the lines the rest of the middle holds at the rate found so far (and
// an eighth more), or twice the room, when the guess was short: one growth, not
// several, for lines far shorter than guessed.
void grow_line_tables(InputFile& file, const HashProgress& progress) {
    const auto done =
        static_cast<double>(std::max<std::int64_t>(1, progress.pos - file.middle_begin));
    const double middle = static_cast<double>(file.middle_end - file.middle_begin);
    const double expected = static_cast<double>(progress.count) * middle / done * 1.125 + 16;
    const std::size_t room = std::max(file.line_classes.size() * 2 + 16,
                                      static_cast<std::size_t>(std::min(expected, 2147483647.0)));
    file.line_classes.resize(room);
    file.line_starts.resize(room + 1);
}

// Cuts the tables to the lines hashed and ends the start table with the last line's end.
void end_line_tables(InputFile& file, const HashProgress& progress) {
    std::int64_t end = file.middle_end;
    if (file.lacks_final_newline && end == file.text_length) {
        --end;  // the last line's extent excludes the appended line feed
    }
    file.line_classes.resize(progress.count);
    file.line_starts.resize(progress.count + 1);
    file.line_starts[progress.count] = static_cast<std::uint32_t>(end);
}

// Hashes both files' middle lines; large files at the same time (see for_both_files),
// in rounds between which the calling thread grows the tables of a file whose lines
// were more than guessed: lines of two bytes outnumber the guess many times over, and
// hashing the rest on the calling thread kept the window waiting a second.
void hash_middle_lines(InputFile files[2]) {
    const LineHash hash_line = hash_for_options();
    HashProgress progress[2] = {start_hashing(files[0]), start_hashing(files[1])};
    std::atomic<std::int64_t> hashed[2] = {0, 0};
    const std::int64_t bytes =
        std::max<std::int64_t>(1, files[0].middle_end - files[0].middle_begin +
                                      files[1].middle_end - files[1].middle_begin);
    for (;;) {
        for_both_files(
            files, [&](int f) { hash_in_room(files[f], hash_line, progress[f], &hashed[f]); },
            [&] {
                return static_cast<std::uint32_t>(HASHED_PERMILLE * (hashed[0] + hashed[1]) /
                                                  bytes);
            });
        bool more = false;
        for (int f = 0; f < 2; ++f) {
            if (progress[f].pos < files[f].middle_end) {
                grow_line_tables(files[f], progress[f]);
                more = true;
            }
        }
        if (!more) {
            break;
        }
    }
    end_line_tables(files[0], progress[0]);
    end_line_tables(files[1], progress[1]);
}

// The bucket table as the lookup pass holds it: a plain pointer and count, so that
// stores to the line and class tables cannot make the compiler reload them. The hashes
// are mixed, so their high bits pick the bucket without a division.
struct BucketView {
    std::int32_t* heads;
    std::uint32_t count;
    std::int32_t& of(std::uint32_t hash) const {
        return heads[(static_cast<std::uint64_t>(hash) * count) >> 32];
    }
};

// A middle line as the lookup sees it: its text and its length without an appended
// line feed (line_starts ends the last line there).
struct LineRef {
    const char* text;
    std::int64_t length;
    DisplayCharset charset;  // its file's
};

inline LineRef line_of(const ClassTables& tables, std::uint32_t sample) {
    const std::uint32_t* starts = tables.starts[sample >> 31];
    const std::uint32_t i = sample & ~SAMPLE_IN_SECOND;
    return {tables.texts[sample >> 31] + starts[i], std::int64_t{starts[i + 1]} - starts[i],
            tables.charsets[sample >> 31]};
}

// Whether the `n` bytes at `a` and at `b` are equal, eight at a step and without a
// call: most lines compared are short, and each file's data is followed by eight bytes
// that may be read, so a last word may reach past the bytes compared (and is masked).
inline bool same_line_bytes(const char* a, const char* b, std::int64_t n) {
    if constexpr (std::endian::native != std::endian::little) {
        return bytes_equal(a, b, static_cast<std::size_t>(n));
    }
    for (; n >= 8; n -= 8, a += 8, b += 8) {
        std::uint64_t wa;
        std::uint64_t wb;
        std::memcpy(&wa, a, sizeof wa);
        std::memcpy(&wb, b, sizeof wb);
        if (wa != wb) {
            return false;
        }
    }
    if (n == 0) {
        return true;
    }
    std::uint64_t wa;
    std::uint64_t wb;
    std::memcpy(&wa, a, sizeof wa);
    std::memcpy(&wb, b, sizeof wb);
    return ((wa ^ wb) & (~std::uint64_t{0} >> (64 - 8 * n))) == 0;
}

// Whether the line is in the class of `sample`: equal hashes, then the text. Under -b
// or -w lines of different lengths may be equivalent.
inline bool in_class(const ClassTables& tables, std::uint32_t sample, const LineRef& line,
                     bool loose) {
    const LineRef s = line_of(tables, sample);
    if (s.length == line.length && same_line_bytes(s.text, line.text, s.length)) {
        return true;
    }
    return tables.rules_on && (s.length == line.length || loose) &&
           lines_equivalent(s.text, s.length, line.text, line.length, s.charset, line.charset);
}

// The class of a line with hash `h` among the classes of the chain at `head`, or 0.
inline std::int32_t find_class(const ClassTables& tables, std::int32_t head, std::uint32_t h,
                               const LineRef& line, bool loose) {
    const LineClass* classes = tables.classes.data();
    for (std::int32_t c = head; c != 0; c = classes[c].chain_next) {
        if (classes[c].hash_value == h && in_class(tables, classes[c].sample, line, loose)) {
            return c;
        }
    }
    return 0;
}

// The class of a line with hash `h`: the first class of its bucket whose sample is
// equivalent, or a new class that becomes the bucket's head.
inline std::int32_t find_or_add_class(ClassTables& tables, std::int32_t& head, std::uint32_t h,
                                      std::uint32_t sample, const LineRef& line, bool loose) {
    const std::int32_t found = find_class(tables, head, h, line, loose);
    if (found != 0) {
        return found;
    }
    const auto next = static_cast<std::int32_t>(tables.classes.size());
    tables.classes.push_back({head, h, sample});
    head = next;
    return next;
}

// The line of the first file that the second file's next line most likely equals:
// files compared are mostly alike in order, so checking it first spares most lookups
// of the second file their cache misses. Class numbers come out as the lookup would
// give them, since a line belongs to exactly one class.
struct OrderHint {
    const std::int32_t* classes0 = nullptr;  // the first file's classes, already final
    std::int32_t count0 = 0;
    std::int32_t next = 0;
};

// The class of the hinted line when `line` (hash `h`) is in it, the hint moved past it;
// else 0.
inline std::int32_t class_from_hint(const ClassTables& tables, OrderHint* hint, std::uint32_t h,
                                    const LineRef& line, bool loose) {
    if (hint == nullptr || hint->next >= hint->count0) {
        return 0;
    }
    const std::int32_t c = hint->classes0[hint->next];
    if (tables.classes[c].hash_value != h ||
        !in_class(tables, static_cast<std::uint32_t>(hint->next), line, loose)) {
        return 0;
    }
    ++hint->next;
    return c;
}

// After a lookup of class `c`: a line of the first file has the hint go on after it; a
// line in no class of the first file (c is 0) likely replaced the hinted one.
inline void resync_hint(const ClassTables& tables, OrderHint* hint, std::int32_t c) {
    if (hint == nullptr) {
        return;
    }
    if (c == 0) {
        ++hint->next;
    } else if ((tables.classes[c].sample & SAMPLE_IN_SECOND) == 0) {
        hint->next = static_cast<std::int32_t>(tables.classes[c].sample) + 1;
    }
}

// The second pass over the first file, after hash_middle_lines: replaces each hash with
// the line's class. Knowing the hashes ahead lets it prefetch the bucket and class
// entries of lines a few steps ahead: on large files those lookups are cache misses
// that would otherwise dominate the whole comparison.
void classify_first_file(InputFile& file, ClassTables& tables) {
    std::int32_t* const classes = file.line_classes.data();
    const auto count = static_cast<std::int32_t>(file.line_classes.size());
    const bool loose = engine_options.blank_rules_on != 0;
    const BucketView buckets{tables.buckets.data(), tables.bucket_count};
    // The classes this file may add, at most one a line, are brought in beside.
    BringInBeside added(tables.classes.data(), (std::size_t{1} + count) * sizeof(LineClass));
    for (std::int32_t i = 0; i < count; ++i) {
        if ((i & PROGRESS_LINES_MASK) == 0) {
            engine_progress(HASHED_PERMILLE +
                            static_cast<std::uint32_t>(
                                std::int64_t{FIRST_FILE_PERMILLE - HASHED_PERMILLE} * i / count));
            added.before_filling((tables.classes.size() + PROGRESS_LINES_MASK + 1) *
                                 sizeof(LineClass));
        }
        // Written out here: GCC drops a prefetch-only helper as a call without effects.
        if (i + BUCKET_AHEAD < count) {
            __builtin_prefetch(&buckets.of(static_cast<std::uint32_t>(classes[i + BUCKET_AHEAD])));
        }
        if (i + CLASS_AHEAD < count) {
            const std::int32_t ahead =
                buckets.of(static_cast<std::uint32_t>(classes[i + CLASS_AHEAD]));
            if (ahead != 0) {
                __builtin_prefetch(&tables.classes[ahead]);
            }
        }
        const auto h = static_cast<std::uint32_t>(classes[i]);
        const auto sample = static_cast<std::uint32_t>(i);
        classes[i] =
            find_or_add_class(tables, buckets.of(h), h, sample, line_of(tables, sample), loose);
    }
    file.line_count = count;
}

// The lines [from, to) of the second file that are in a class of the first file get
// that class in place of their hash. The tables are only read, so both halves of the
// file may be done at once; the other lines keep their hash and are listed, in order,
// from `pending` on. Returns how many were listed.
std::int32_t join_first_file_classes(InputFile& file, ClassTables& tables, std::int32_t from,
                                     std::int32_t to, OrderHint* hint, std::int32_t* pending,
                                     std::atomic<std::int32_t>& done) {
    std::int32_t* const classes = file.line_classes.data();
    const bool loose = engine_options.blank_rules_on != 0;
    const BucketView buckets{tables.buckets.data(), tables.bucket_count};
    std::int32_t listed = 0;
    bool following = false;  // the last line matched the hint: no prefetching needed
    for (std::int32_t i = from; i < to; ++i) {
        if ((i & PROGRESS_LINES_MASK) == 0) {
            done.store(i - from, std::memory_order_relaxed);
        }
        if (!following && i + BUCKET_AHEAD < to) {
            __builtin_prefetch(&buckets.of(static_cast<std::uint32_t>(classes[i + BUCKET_AHEAD])));
        }
        if (!following && i + CLASS_AHEAD < to) {
            const std::int32_t ahead =
                buckets.of(static_cast<std::uint32_t>(classes[i + CLASS_AHEAD]));
            if (ahead != 0) {
                __builtin_prefetch(&tables.classes[ahead]);
            }
        }
        const auto h = static_cast<std::uint32_t>(classes[i]);
        const LineRef line = line_of(tables, static_cast<std::uint32_t>(i) | SAMPLE_IN_SECOND);
        const std::int32_t hinted = class_from_hint(tables, hint, h, line, loose);
        following = hinted != 0;
        if (following) {
            classes[i] = hinted;
            continue;
        }
        const std::int32_t c = find_class(tables, buckets.of(h), h, line, loose);
        if (c != 0) {
            classes[i] = c;
        } else {
            pending[listed++] = i;
        }
        resync_hint(tables, hint, c);
    }
    return listed;
}

// The listed lines of the second file, in order: each joins a class an earlier one
// made, or makes a new class.
void add_listed_lines(InputFile& file, ClassTables& tables, const std::int32_t* pending,
                      std::int32_t listed) {
    std::int32_t* const classes = file.line_classes.data();
    const bool loose = engine_options.blank_rules_on != 0;
    const BucketView buckets{tables.buckets.data(), tables.bucket_count};
    for (std::int32_t k = 0; k < listed; ++k) {
        if ((k & PROGRESS_LINES_MASK) == 0) {
            engine_progress(JOINED_PERMILLE +
                            static_cast<std::uint32_t>(
                                std::int64_t{CLASSIFIED_PERMILLE - JOINED_PERMILLE} * k / listed));
        }
        if (k + BUCKET_AHEAD < listed) {
            __builtin_prefetch(
                &buckets.of(static_cast<std::uint32_t>(classes[pending[k + BUCKET_AHEAD]])));
        }
        const std::int32_t i = pending[k];
        const auto h = static_cast<std::uint32_t>(classes[i]);
        const auto sample = static_cast<std::uint32_t>(i) | SAMPLE_IN_SECOND;
        classes[i] =
            find_or_add_class(tables, buckets.of(h), h, sample, line_of(tables, sample), loose);
    }
}

// The second file's lines: those in a class of the first file found in two halves at
// once (each half with its own hint, the second's starting at the same share of the
// first file), then the others in order.
void classify_second_file(InputFile files[2], ClassTables& tables) {
    InputFile& file = files[1];
    const auto count = static_cast<std::int32_t>(file.line_classes.size());
    const std::int32_t half = count / 2;
    OrderHint hints[2];
    for (int t = 0; t < 2; ++t) {
        hints[t].classes0 = files[0].line_classes.data();
        hints[t].count0 = files[0].line_count;
        hints[t].next = static_cast<std::int32_t>(std::int64_t{files[0].line_count} *
                                                  (t == 0 ? 0 : half) / std::max(count, 1));
    }
    // Untouched but for the places of the lines listed: not a table block, which later
    // tables would be carved from as if its pages were in.
    const std::unique_ptr<std::int32_t[]> pending(
        new std::int32_t[static_cast<std::size_t>(count) + 1]);
    std::int32_t listed[2] = {0, 0};
    std::atomic<std::int32_t> joined[2] = {0, 0};
    for_both_files(
        files,
        [&](int t) {
            const std::int32_t from = t == 0 ? 0 : half;
            listed[t] = join_first_file_classes(file, tables, from, t == 0 ? half : count,
                                                fast_paths ? &hints[t] : nullptr,
                                                pending.get() + from, joined[t]);
        },
        [&] {
            const std::int64_t lines = std::int64_t{joined[0]} + joined[1];
            return FIRST_FILE_PERMILLE +
                   static_cast<std::uint32_t>((JOINED_PERMILLE - FIRST_FILE_PERMILLE) * lines /
                                              std::max(count, 1));
        });
    engine_progress(JOINED_PERMILLE);
    // The second half's list moves up to follow the first's.
    std::copy(pending.get() + half, pending.get() + half + listed[1], pending.get() + listed[0]);
    add_listed_lines(file, tables, pending.get(), listed[0] + listed[1]);
    file.line_count = count;
}

}  // namespace

void engine_set_fast_paths(bool on) {
    fast_paths = on;
}

bool engine_fast_paths_on() {
    return fast_paths;
}

void classify_pair(InputFile files[2]) {
    hash_middle_lines(files);
    ClassTables tables = make_class_tables(files);
    classify_first_file(files[0], tables);
    classify_second_file(files, tables);
    files[0].class_limit = files[1].class_limit = static_cast<std::int32_t>(tables.classes.size());
}
