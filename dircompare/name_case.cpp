#include "dircompare/name_case.h"

#include <cstdint>

#include "common/unicode.h"

namespace {

// A run of letters that map to upper case alike: by `delta`, or, with `alternate`,
// upper and lower case taking turns from `first` (an upper-case letter) on.
struct CaseRun {
    char32_t first, last;
    int32_t delta;
    bool alternate;
};

// clang-format off
constexpr CaseRun CASE_RUNS[] = {
    {0x61, 0x7A, -32, false},                       // ASCII
    {0xE0, 0xF6, -32, false}, {0xF8, 0xFE, -32, false}, {0xFF, 0xFF, 0x178 - 0xFF, false},
    {0x100, 0x12F, -1, true}, {0x132, 0x137, -1, true}, {0x139, 0x148, -1, true},
    {0x14A, 0x177, -1, true}, {0x179, 0x17E, -1, true},  // Latin Extended-A
    {0x1CD, 0x1DC, -1, true}, {0x1DE, 0x1EF, -1, true}, {0x1F8, 0x21F, -1, true},
    {0x222, 0x233, -1, true}, {0x246, 0x24F, -1, true},  // Latin Extended-B
    {0x3AC, 0x3AC, 0x386 - 0x3AC, false}, {0x3AD, 0x3AF, 0x388 - 0x3AD, false},
    {0x3B1, 0x3C1, -32, false}, {0x3C2, 0x3C2, 0x3A3 - 0x3C2, false},
    {0x3C3, 0x3CB, -32, false}, {0x3CC, 0x3CC, 0x38C - 0x3CC, false},
    {0x3CD, 0x3CE, 0x38E - 0x3CD, false},           // Greek
    {0x430, 0x44F, -32, false}, {0x450, 0x45F, -80, false}, {0x460, 0x481, -1, true},
    {0x48A, 0x4BF, -1, true}, {0x4C1, 0x4CE, -1, true}, {0x4CF, 0x4CF, 0x4C0 - 0x4CF, false},
    {0x4D0, 0x52F, -1, true},                       // Cyrillic
};
// clang-format on

}  // namespace

char32_t simple_upper_case(char32_t c) {
    for (const CaseRun& run : CASE_RUNS) {
        if (c < run.first || c > run.last) {
            continue;
        }
        if (run.alternate && (c - run.first) % 2 == 0) {
            return c;  // already upper case
        }
        return static_cast<char32_t>(static_cast<int32_t>(c) + run.delta);
    }
    return c;
}

std::string simple_name_case_key(std::string_view name) {
    std::string key;
    key.reserve(name.size());
    for (std::size_t at = 0; at < name.size();) {
        const Utf8Sequence s = decode_utf8(name, at);
        if (s.valid) {
            append_utf8(key, simple_upper_case(s.value));
        } else {
            key += name[at];
        }
        at += s.size;
    }
    return key;
}
