#include "common/textio.h"

#include <algorithm>
#include <cstring>

#include "common/byte_scan.h"
#include "common/native_file.h"
#include "common/progress.h"
#include "common/report.h"

std::size_t text_mode_filter(char* data, std::size_t n, bool* ended, TextModeLoss* loss,
                             bool last_part) {
    if (loss != nullptr && loss->pending_carriage_return && n > 0) {
        loss->pending_carriage_return = false;
        if (data[0] != '\n') {
            loss->lone_carriage_returns = true;
        }
    }
    // Large inputs mostly hold no carriage return at all: find the bytes with find_byte and
    // move whole stretches instead of testing every byte.
    if (const char* eof = find_byte(data, n, static_cast<char>(TEXT_EOF_BYTE))) {
        last_part = true;  // nothing after it is text
        const auto at = static_cast<std::size_t>(eof - data);
        if (loss != nullptr && at + 1 < n) {
            loss->data_after_eof = true;
        }
        n = at;
        if (ended != nullptr) {
            *ended = true;
        }
    }
    char* cr = find_byte(data, n, '\r');
    if (cr == nullptr) {
        return n;
    }
    const char* end = data + n;
    // Bytes move only towards the front, so the byte after each carriage return is
    // still in place when it is looked at.
    auto note_lone = [&](const char* at) {
        if (loss == nullptr) {
            return;
        }
        if (at + 1 == end && !last_part) {
            loss->pending_carriage_return = true;
        } else if (at + 1 == end || at[1] != '\n') {
            loss->lone_carriage_returns = true;
        }
    };
    note_lone(cr);
    char* out = cr;
    const char* in = cr + 1;
    while (in < end) {
        const char* next = find_byte(in, static_cast<std::size_t>(end - in), '\r');
        const char* stop = next != nullptr ? next : end;
        if (next != nullptr) {
            note_lone(next);
        }
        std::memmove(out, in, static_cast<std::size_t>(stop - in));
        out += stop - in;
        in = stop + 1;
    }
    return static_cast<std::size_t>(out - data);
}

void end_text_mode_parts(TextModeLoss& loss) {
    if (loss.pending_carriage_return) {
        loss.pending_carriage_return = false;
        loss.lone_carriage_returns = true;
    }
}

std::vector<std::string> text_mode_warnings(const char* path, const TextModeLoss& loss) {
    std::vector<std::string> lines;
    if (loss.data_after_eof) {
        lines.push_back(
            format_message("The data after the Ctrl-Z character in %s is ignored", path));
    }
    if (loss.lone_carriage_returns) {
        lines.push_back(
            format_message("Carriage returns not followed by a line feed in %s are ignored", path));
    }
    return lines;
}

int read_text_file(const char* path, std::string& out) {
    out.clear();
    FILE* f = native_fopen(path, "rb");
    if (f == nullptr) {
        return -1;
    }
    char block[65536];
    bool ended = false;
    while (!ended) {
        const std::size_t got = std::fread(block, 1, sizeof block, f);
        if (got == 0) {
            break;
        }
        out.append(block, text_mode_filter(block, got, &ended));
    }
    const bool bad = std::ferror(f) != 0;
    std::fclose(f);
    return bad ? -1 : 0;
}

FILE* open_text_output(const char* path) {
    return native_fopen(path, "w");
}

TextLineReader::~TextLineReader() {
    close();
}

int TextLineReader::open(const char* path, bool stop_at_ctrl_z) {
    close();
    stop_at_ctrl_z_ = stop_at_ctrl_z;
    file_ = native_fopen(path, "rb");
    buffer_.clear();
    pos_ = 0;
    ended_ = false;
    failed_ = false;
    poll_ = false;
    stopped_ = false;
    bytes_read_ = 0;
    NativeStat st;
    size_ = file_ != nullptr && native_stat(path, st) ? st.size : 0;
    return file_ != nullptr ? 0 : -1;
}

void TextLineReader::close() {
    if (file_ != nullptr) {
        std::fclose(file_);
        file_ = nullptr;
    }
}

bool TextLineReader::fill() {
    if (ended_ || file_ == nullptr) {
        return false;
    }
    if (pos_ > 0) {
        buffer_.erase(0, pos_);
        pos_ = 0;
    }
    if (poll_ && !progress_step(bytes_read_, size_)) {
        ended_ = stopped_ = true;
        return false;
    }
    char block[65536];
    const std::size_t got = std::fread(block, 1, sizeof block, file_);
    if (got == 0) {
        ended_ = true;
        failed_ = std::ferror(file_) != 0;
        return false;
    }
    bytes_read_ += got;
    if (stop_at_ctrl_z_) {
        buffer_.append(block, text_mode_filter(block, got, &ended_));
    } else {
        // A run at a time between carriage returns: the Windows runtimes' own scans test
        // one byte at a time (common/byte_scan.h).
        const char* in = block;
        const char* const end = block + got;
        while (in < end) {
            const char* cr = find_byte(in, static_cast<std::size_t>(end - in), '\r');
            const char* stop = cr != nullptr ? cr : end;
            buffer_.append(in, static_cast<std::size_t>(stop - in));
            in = cr != nullptr ? cr + 1 : end;
        }
    }
    return true;
}

bool TextLineReader::next_line(std::string& line, bool* had_newline, std::size_t keep) {
    line.clear();
    bool any = false;
    bool newline = false;
    for (;;) {
        const char* found = find_byte(buffer_.data() + pos_, buffer_.size() - pos_, '\n');
        const std::size_t end =
            found != nullptr ? static_cast<std::size_t>(found - buffer_.data()) : std::string::npos;
        const std::size_t stop = end == std::string::npos ? buffer_.size() : end;
        any = any || stop > pos_ || end != std::string::npos;
        if (line.size() < keep) {
            line.append(buffer_, pos_, std::min(stop - pos_, keep - line.size()));
        }
        if (end != std::string::npos) {
            pos_ = end + 1;
            newline = true;
            break;
        }
        // What was read is in `line` or dropped: fill() starts the buffer afresh.
        pos_ = buffer_.size();
        if (!fill()) {
            break;
        }
    }
    if (had_newline != nullptr) {
        *had_newline = newline;
    }
    return any;
}
