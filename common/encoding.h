#ifndef PAIREX_COMMON_ENCODING_H
#define PAIREX_COMMON_ENCODING_H

#include <cstddef>
#include <string>
#include <string_view>

// How a text file is stored, told by its byte-order mark. Texts are held as UTF-8 (or
// as the file's own bytes) inside the program and turned back on writing.
enum TextEncoding {
    ENCODING_BYTES,     // no mark: the bytes as they are
    ENCODING_UTF8_BOM,  // UTF-8 after the mark EF BB BF
    ENCODING_UTF16LE,   // UTF-16 little endian after the mark FF FE
    ENCODING_UTF16BE,   // UTF-16 big endian after the mark FE FF
};

// The encoding that the first bytes of a file announce.
TextEncoding detect_encoding(const char* data, std::size_t n);

// The mark that starts a file of `encoding` ("" for ENCODING_BYTES).
std::string_view encoding_mark(TextEncoding encoding);

inline bool is_utf16(TextEncoding encoding) {
    return encoding == ENCODING_UTF16LE || encoding == ENCODING_UTF16BE;
}

#endif
