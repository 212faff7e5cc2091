#include <unistd.h>

#include <cstdint>
#include <cstring>
#include <limits>
#include <utility>
#include <vector>

#include "common/charset.h"
#include "common/report.h"
#include "common/textio.h"
#include "engine/engine.h"
#include "engine/engine_internal.h"

// Data held per file is addressed with 32-bit offsets; anything larger cannot be held.
static constexpr std::uint64_t MAX_TEXT = std::numeric_limits<std::int32_t>::max() - 16;
// Eight zero bytes always follow the data (the prefix scan and the line hash read
// whole words up to them); one byte more holds the line feed that completion may append.
static constexpr std::size_t ZERO_PAD = 8;
static constexpr std::size_t SPARE_BYTES = 1 + ZERO_PAD;
static_assert(LENT_SPARE_BYTES == SPARE_BYTES, "a lent text needs the spare bytes of a read one");
// One read asks for at most 1 GiB, so that its count fits the int the runtimes return.
static constexpr std::size_t MAX_READ = std::size_t{1} << 30;
// A full buffer first reads a 4 KiB probe, then grows by at least 64 KiB at a time (and
// geometrically), so that a pipe of unknown size is not copied once per chunk.
static constexpr std::size_t PROBE_BYTES = 4096;
static constexpr std::uint64_t MIN_GROWTH = 65536;

// One read of at most MAX_READ bytes into `buffer`: the count, 0 at the end, or -1 on
// an error (not shown).
static int read_chunk_quietly(InputFile& file, char* buffer, std::size_t want) {
    const std::size_t chunk = want < MAX_READ ? want : MAX_READ;
    return static_cast<int>(::read(file.descriptor, buffer, static_cast<unsigned>(chunk)));
}

// read_chunk_quietly, showing an error.
static int read_chunk(InputFile& file, char* buffer, std::size_t want) {
    const int n = read_chunk_quietly(file, buffer, want);
    if (n < 0) {
        report_engine_error("Error in file %s", file.name.c_str());
    }
    return n;
}

std::size_t read_raw(InputFile& file, char* buffer, std::size_t want) {
    std::size_t total = 0;
    while (total < want) {
        const int n = read_chunk(file, buffer + total, want - total);
        if (n <= 0) {
            break;
        }
        total += static_cast<std::size_t>(n);
    }
    return total;
}

std::size_t read_text_mode(InputFile& file, char* buffer, std::size_t want) {
    std::size_t total = 0;
    while (total < want && !file.data_ended) {
        const int n = read_chunk(file, buffer + total, want - total);
        if (n <= 0) {
            break;
        }
        total += text_mode_filter(buffer + total, static_cast<std::size_t>(n), &file.data_ended,
                                  &file.text_mode_loss, false);
    }
    return total;
}

static bool text_mode_warnings_on = false;

void engine_set_text_mode_warnings(bool on) {
    text_mode_warnings_on = on;
}

// Warns about what text mode dropped from a file it read (a lent or mapped text was
// not filtered here).
static void warn_text_mode_loss(InputFile& file) {
    if (!text_mode_warnings_on || file.is_absent() || file.lent || file.mapped) {
        return;
    }
    TextModeLoss& loss = file.text_mode_loss;
    end_text_mode_parts(loss);
    if (file.data_ended && !loss.data_after_eof) {
        // The Ctrl-Z ended a read: whether anything follows it, only the file can tell.
        char next = 0;
        loss.data_after_eof = ::read(file.descriptor, &next, 1) == 1;
    }
    for (const std::string& line : text_mode_warnings(file.name.c_str(), loss)) {
        report_message(line.c_str(), SEVERITY_WARNING);
    }
}

static std::vector<LentText> lent_texts;

void engine_lend_texts(std::vector<LentText> texts) {
    lent_texts = std::move(texts);
}

static const LentText* lent_text_for(const InputFile& file) {
    if (file.is_absent() || !file.status.is_regular) {
        return nullptr;
    }
    for (const LentText& t : lent_texts) {
        if (t.name == file.name && t.data != nullptr && t.length <= MAX_TEXT &&
            t.capacity >= t.length + SPARE_BYTES) {
            return &t;
        }
    }
    return nullptr;
}

// Takes the caller's text for `file` when one is lent: the file is then whole already.
static bool take_lent_text(InputFile& file) {
    const LentText* t = lent_text_for(file);
    if (t == nullptr) {
        return false;
    }
    file.text.reset();
    file.shared_text = t->data;
    file.text_capacity = t->capacity;
    file.text_length = static_cast<std::int64_t>(t->length);
    file.lent = true;
    return true;
}

// Makes sure `file.text` can hold `needed` data bytes plus the line feed completion may
// append and eight zero bytes.
static void reserve_text(InputFile& file, std::uint64_t needed) {
    if (needed > MAX_TEXT) {
        engine_out_of_memory();
    }
    const std::size_t want = static_cast<std::size_t>(needed) + SPARE_BYTES;
    if (file.text && want <= file.text_capacity) {
        return;
    }
    std::size_t capacity = file.text_capacity > 0 ? file.text_capacity : ZERO_PAD;
    while (capacity < want) {
        capacity = capacity > MAX_TEXT / 2 ? static_cast<std::size_t>(MAX_TEXT) + SPARE_BYTES
                                           : capacity * 2;
    }
    char* old = file.text.release();
    // A fresh block of 1 MiB or more starts on a huge page (engine_alloc): reading a
    // large file into it then faults in one page per 2 MiB.
    file.text.reset(static_cast<char*>(old == nullptr ? engine_alloc(capacity)
                                                      : engine_realloc(old, capacity)));
    file.text_capacity = capacity;
}

// Reads the first chunk as stored and tells whether it looks binary (a zero byte among
// the bytes read): a Ctrl-Z at the start must not hide the bytes after it. `skip` reads
// nothing. The chunk is left unfiltered (see filter_first_block).
static int read_first_block(InputFile& file, bool skip) {
    if (file.is_absent()) {
        file.text.reset(static_cast<char*>(engine_alloc(ZERO_PAD)));
        std::memset(file.text.get(), 0, ZERO_PAD);
        file.text_capacity = ZERO_PAD;
        file.text_length = 0;
        return 0;
    }
    // Room for a whole chunk, or a regular file's whole size, plus the spare bytes.
    const std::size_t chunk = file.read_size();
    std::uint64_t data = chunk;
    // A file that will likely be mapped, or whose text is lent, needs no buffer of its
    // size.
    if (file.status.is_regular && file.status.size > data && !may_map_input(file) &&
        lent_text_for(file) == nullptr) {
        data = file.status.size;
    }
    reserve_text(file, data);
    file.text_length = 0;
    if (skip) {
        return 0;
    }
    const std::size_t got = read_raw(file, file.text.get(), chunk);
    file.text_length = static_cast<std::int64_t>(got);
    return got > 0 && std::memchr(file.text.get(), 0, got) != nullptr ? 1 : 0;
}

// Puts the first chunk read as stored into text mode, as the rest will be read.
static void filter_first_block(InputFile& file) {
    if (!file.is_absent() && file.text_length > 0) {
        file.text_length = static_cast<std::int64_t>(
            text_mode_filter(file.text.get(), static_cast<std::size_t>(file.text_length),
                             &file.data_ended, &file.text_mode_loss, false));
    }
}

// Where reading the rest of a file stands.
struct ReadState {
    bool at_end = false;  // the end of the data, or a failed read
    bool failed = false;  // a read failed (not shown yet)
};

// Reading is done in stretches of this many bytes, so that the text-mode filter finds
// each in the cache.
static constexpr std::size_t READ_STRETCH = std::size_t{1} << 18;

// Reads on in text mode while the buffer has room, without growing it or showing
// anything (both files may be read at once).
static void read_in_room(InputFile& file, ReadState& state) {
    while (!state.at_end && !file.data_ended) {
        const std::size_t room =
            file.text_capacity - SPARE_BYTES - static_cast<std::size_t>(file.text_length);
        if (room == 0) {
            return;
        }
        char* const at = file.text.get() + file.text_length;
        const int n = read_chunk_quietly(file, at, room < READ_STRETCH ? room : READ_STRETCH);
        if (n <= 0) {
            state.at_end = true;
            state.failed = n < 0;
            return;
        }
        file.text_length += static_cast<std::int64_t>(text_mode_filter(
            at, static_cast<std::size_t>(n), &file.data_ended, &file.text_mode_loss, false));
    }
}

// Files this large are read both at once, each on its own thread.
static constexpr std::uint64_t SHARED_READ_BYTES = std::uint64_t{1} << 20;

static bool reads_large_file(const InputFile& file) {
    return !file.is_absent() && !file.mapped && !file.lent && file.status.is_regular &&
           file.status.size >= SHARED_READ_BYTES;
}

// Reads the rest of the file (after `state`, see read_in_room). A pipe or standard input
// is read to its end as well, so that it is compared whole. A regular file's buffer is
// already sized from its size on disk; it grows only when the file holds more than that.
static void read_remaining_text(InputFile& file, ReadState& state) {
    if (file.is_absent() || file.mapped || file.lent) {
        return;
    }
    for (;;) {
        read_in_room(file, state);
        if (state.failed) {
            report_engine_error("Error in file %s", file.name.c_str());
        }
        if (state.at_end || file.data_ended) {
            return;
        }
        // The buffer is full: read a little more before growing it, so that a file that
        // ends exactly here costs no second buffer.
        char probe[PROBE_BYTES];
        const std::size_t got = read_text_mode(file, probe, sizeof probe);
        if (got == 0) {
            return;
        }
        reserve_text(file, static_cast<std::uint64_t>(file.text_length) + got + MIN_GROWTH);
        std::memcpy(file.text.get() + file.text_length, probe, got);
        file.text_length += static_cast<std::int64_t>(got);
    }
}

static void complete_final_line(InputFile& file) {
    char* t = file.data();
    file.lacks_final_newline = 0;
    if (file.text_length > 0 && t[file.text_length - 1] != '\n') {
        t[file.text_length++] = '\n';
        file.lacks_final_newline = engine_options.skip_blank_hunks ? 0 : 1;
    }
    std::memset(t + file.text_length, 0, ZERO_PAD);
}

// Reads the rest of both files and completes their last lines; when both sides are one
// open file, file 1 shares file 0's buffer.
static void read_pair_text(InputFile files[2]) {
    InputFile& f0 = files[0];
    InputFile& f1 = files[1];
    const bool shared = f0.descriptor == f1.descriptor;
    ReadState states[2];
    if (!shared && reads_large_file(f0) && reads_large_file(f1)) {
        run_on_both(true, [&](int f) { read_in_room(files[f], states[f]); });
    }
    read_remaining_text(f0, states[0]);
    warn_text_mode_loss(f0);
    if (!shared) {
        read_remaining_text(f1, states[1]);
        warn_text_mode_loss(f1);
    }
    complete_final_line(f0);
    if (shared) {
        f1.shared_text = f0.data();
        f1.text_capacity = f0.text_capacity;
        f1.text_length = f0.text_length;
        f1.lacks_final_newline = f0.lacks_final_newline;
    } else {
        complete_final_line(f1);
    }
}

// Only -w has a rule that depends on the charset: the scan is spared otherwise.
static void note_charset(InputFile& file) {
    const char* data = file.data();
    file.charset =
        engine_options.skip_all_blanks && data != nullptr
            ? detect_charset(std::string_view(data, static_cast<std::size_t>(file.text_length)))
            : CHARSET_UTF8;
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
    const bool shared = files[0].descriptor == files[1].descriptor;
    for (int i = 0; i < (shared ? 1 : 2); ++i) {
        // A lent or mapped file is whole already; its first chunk read is dropped with
        // its buffer.
        if (!take_lent_text(files[i]) && !map_input_text(files[i], SPARE_BYTES)) {
            filter_first_block(files[i]);
            if (files[i].status.is_regular) {
                reserve_text(files[i], files[i].status.size);
            }
        }
    }
    if (shared) {
        // One open file serves both sides.
        files[1].text.reset();
    }
    read_pair_text(files);
    note_charset(files[0]);
    note_charset(files[1]);
    trim_identical_ends(files);
    classify_pair(files);
    return 0;
}
