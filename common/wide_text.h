#ifndef PAIREX_COMMON_WIDE_TEXT_H
#define PAIREX_COMMON_WIDE_TEXT_H

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

// Text is UTF-8 inside the program; the system's wide calls take UTF-16. These turn
// one into the other right at the call.

// `utf8` as UTF-16 for showing: each byte that is not part of a UTF-8 sequence
// becomes U+FFFD, so nothing is dropped and the rest still shows. When `unit_of_byte`
// is given it gets utf8.size() + 1 entries: for each byte, the UTF-16 index where its
// character starts (the last entry is the whole length), so that a byte span [b, e)
// of whole characters is the UTF-16 span [unit_of_byte[b], unit_of_byte[e]).
std::u16string utf16_for_display(std::string_view utf8,
                                 std::vector<std::size_t>* unit_of_byte = nullptr);

// `utf8` as UTF-16 exactly, for names: false (and `out` unspecified) when `utf8` is not
// valid UTF-8, because a name changed by the conversion could name another file.
bool utf16_exact(std::string_view utf8, std::u16string& out);

#ifdef _WIN32
// The same into the wide string of the system's ...W calls (wchar_t is UTF-16 there).
bool wide_exact(std::string_view utf8, std::wstring& out);
#endif

// UTF-16 from the system as UTF-8. A surrogate without its partner becomes U+FFFD.
std::string utf8_from_utf16(std::u16string_view utf16);

// The characters of `utf8`: a byte outside any UTF-8 sequence counts as one.
std::size_t utf8_char_count(std::string_view utf8);

// The bytes of the longest start of `utf8` that takes at most `units` UTF-16 units for
// showing, never ending inside a character.
std::size_t utf8_prefix_within_units(std::string_view utf8, std::size_t units);

#endif
