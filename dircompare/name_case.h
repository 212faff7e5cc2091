#ifndef PAIREX_DIRCOMPARE_NAME_CASE_H
#define PAIREX_DIRCOMPARE_NAME_CASE_H

#include <string>
#include <string_view>

// Names that differ only in letter case name one file on Windows, in every script. The
// walk pairs and orders names by a key: the name with each letter in upper case, as
// the file system folds it. Equal keys name one file; keys order the listings, so that
// pairing and order never disagree.

// The key of `name` (UTF-8) by the platform's own rule: the seam, implemented by the
// Windows program in ui/win32 and by the tests with simple_name_case_key.
std::string name_case_key(const std::string& name);

// The platform-free rule: ASCII, Latin-1, Latin Extended-A, the regular pairs of Latin
// Extended-B, Greek and Cyrillic letters mapped to upper case one code point at a time,
// without regard to a locale. Nothing maps into ASCII (dotless i and long s stay
// apart from I and S, as Windows keeps them) and nothing changes length (sharp s stays
// one letter); bytes outside valid UTF-8 are kept as they are.
std::string simple_name_case_key(std::string_view name);
char32_t simple_upper_case(char32_t c);

#endif
