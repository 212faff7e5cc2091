#include "merge/line_ends.h"

#include "common/byte_scan.h"
#include "common/charset.h"
#include "common/textio.h"

#if defined(__SSE2__)
#include <emmintrin.h>
#endif

std::string_view line_end_bytes(LineEnd end) {
    switch (end) {
        case ENDS_LF:
            return "\n";
        case ENDS_CRLF:
            return "\r\n";
        default:
            return "";
    }
}

std::vector<LineEnd> line_ends_of(const char* text, std::size_t n) {
    std::vector<LineEnd> ends(count_byte(text, n, '\n'), ENDS_LF);
    if (find_byte(text, n, '\r') == nullptr) {
        return ends;  // most files: nothing more to look at
    }
    std::size_t line = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] == '\n') {
            if (i > 0 && text[i - 1] == '\r') {
                ends[line] = ENDS_CRLF;
            }
            ++line;
        }
    }
    return ends;
}

#if defined(__SSE2__)
namespace {

void scan_tail(const char* text, std::size_t n, TextBytes& found) {
    for (std::size_t i = 0; i < n; ++i) {
        const char c = text[i];
        found.line_feeds += c == '\n' ? 1 : 0;
        found.carriage_returns = found.carriage_returns || c == '\r';
        found.ctrl_z = found.ctrl_z || c == static_cast<char>(TEXT_EOF_BYTE);
        found.beyond_ascii = found.beyond_ascii || (c & 0x80) != 0;
    }
}

}  // namespace
#endif

TextBytes scan_text_bytes(const char* text, std::size_t n) {
    TextBytes found;
#if defined(__SSE2__)
    // Sixteen bytes at a step: each line feed takes one (all ones) from its lane's
    // counter, summed before a lane could pass 255; the rest is gathered into one mask.
    const __m128i feed = _mm_set1_epi8('\n');
    const __m128i cr = _mm_set1_epi8('\r');
    const __m128i eof = _mm_set1_epi8(static_cast<char>(TEXT_EOF_BYTE));
    const __m128i zero = _mm_setzero_si128();
    __m128i seen = zero;
    std::size_t i = 0;
    while (i + 16 <= n) {
        __m128i counts = zero;
        for (int step = 0; step < 255 && i + 16 <= n; ++step, i += 16) {
            const __m128i v = _mm_loadu_si128(reinterpret_cast<const __m128i*>(text + i));
            counts = _mm_sub_epi8(counts, _mm_cmpeq_epi8(v, feed));
            seen = _mm_or_si128(seen, _mm_cmpeq_epi8(v, cr));
            seen = _mm_or_si128(seen, _mm_cmpeq_epi8(v, eof));
            seen = _mm_or_si128(seen, v);  // the high bit of a byte beyond ASCII
        }
        const __m128i sums = _mm_sad_epu8(counts, zero);
        found.line_feeds += static_cast<std::size_t>(_mm_cvtsi128_si32(sums)) +
                            static_cast<std::size_t>(_mm_extract_epi16(sums, 4));
    }
    if (_mm_movemask_epi8(seen) != 0) {
        // Something beyond line feeds: told apart by the plain scans.
        found.carriage_returns = find_byte(text, i, '\r') != nullptr;
        found.ctrl_z = find_byte(text, i, static_cast<char>(TEXT_EOF_BYTE)) != nullptr;
        found.beyond_ascii = !is_ascii(std::string_view(text, i));
    }
    scan_tail(text + i, n - i, found);
#else
    found.line_feeds = count_byte(text, n, '\n');
    found.carriage_returns = find_byte(text, n, '\r') != nullptr;
    found.ctrl_z = find_byte(text, n, static_cast<char>(TEXT_EOF_BYTE)) != nullptr;
    found.beyond_ascii = true;  // left to the charset's own scan, as a byte loop here would be
#endif
    return found;
}

std::size_t drop_crlf_returns(char* text, std::size_t n) {
    std::size_t kept = 0;
    for (std::size_t i = 0; i < n; ++i) {
        if (text[i] != '\r' || i + 1 == n || text[i + 1] != '\n') {
            text[kept++] = text[i];
        }
    }
    return kept;
}
