#ifndef PAIREX_COMMON_TEXTIO_H
#define PAIREX_COMMON_TEXTIO_H

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

// Text mode, alike on every platform: reading drops every carriage-return byte and
// ends at the first Ctrl-Z (byte 26); writing follows the platform's own text mode,
// so a line feed becomes LINE_END on disk.

#ifdef _WIN32
constexpr const char* LINE_END = "\r\n";
#else
constexpr const char* LINE_END = "\n";
#endif

constexpr unsigned char TEXT_EOF_BYTE = 26;

// What text mode dropped that a reader of the file could not see there: bytes after a
// Ctrl-Z, and carriage returns that no line feed follows.
struct TextModeLoss {
    bool data_after_eof = false;
    bool lone_carriage_returns = false;
    // The part filtered last ended with a carriage return whose next byte is not known
    // yet (see text_mode_filter's `last_part`).
    bool pending_carriage_return = false;
};

// Filters `n` raw bytes in place; returns the number of bytes kept. Sets *ended when a
// Ctrl-Z was met (the bytes from it on are dropped). `loss` (optional) notes what was
// dropped out of sight. A file read in parts passes `last_part` false for all but its
// last part, so that a carriage return ending one part is judged by the next; a Ctrl-Z
// ending a part leaves unknown whether data follows it (the reader must look).
std::size_t text_mode_filter(char* data, std::size_t n, bool* ended, TextModeLoss* loss = nullptr,
                             bool last_part = true);

// Settles a carriage return left pending at the end of a file read in parts.
void end_text_mode_parts(TextModeLoss& loss);

// The warnings for what text mode dropped from the file `path`, one line each.
std::vector<std::string> text_mode_warnings(const char* path, const TextModeLoss& loss);

// Reads a whole file in text mode into `out`. Returns 0, or -1 when the file cannot
// be opened or read (nothing is reported).
int read_text_file(const char* path, std::string& out);

// Opens `path` for writing in the platform's text mode (created or truncated).
FILE* open_text_output(const char* path);

// Reads a file line by line in text mode, whole lines of any length.
class TextLineReader {
public:
    TextLineReader() = default;
    ~TextLineReader();
    TextLineReader(const TextLineReader&) = delete;
    TextLineReader& operator=(const TextLineReader&) = delete;

    // Returns 0, or -1 when the file cannot be opened. With `stop_at_ctrl_z` false the
    // reader drops carriage returns but reads past a Ctrl-Z (a listing that quotes
    // lines holding one).
    int open(const char* path, bool stop_at_ctrl_z = true);
    void close();
    // Reads the next line without its line feed into `line`; false at the end.
    // `had_newline` (optional) tells whether the line ended with a line feed. Only the
    // first `keep` bytes of a line are kept, the rest is read and dropped: a reader
    // that needs only the start of each line holds no more than that, however long.
    bool next_line(std::string& line, bool* had_newline = nullptr,
                   std::size_t keep = std::string::npos);
    // True when a read failed (as opposed to reaching the end).
    bool failed() const { return failed_; }
    // From now on each block read is a progress step (common/progress.h) of the bytes
    // read so far, of the file's size at its opening, so that a huge line does not hold
    // up the window; a stop asked there ends the reading as if the file ended, and
    // stopped() tells so.
    void poll_progress() { poll_ = true; }
    bool stopped() const { return stopped_; }
    // The bytes read so far, and the file's size at its opening (0: not known).
    std::uint64_t bytes_read() const { return bytes_read_; }
    std::uint64_t size() const { return size_; }

private:
    bool fill();
    FILE* file_ = nullptr;
    std::string buffer_;
    std::size_t pos_ = 0;
    bool ended_ = false;
    bool failed_ = false;
    bool stop_at_ctrl_z_ = true;
    bool poll_ = false;
    bool stopped_ = false;
    std::uint64_t bytes_read_ = 0;
    std::uint64_t size_ = 0;  // 0: not known
};

#endif
