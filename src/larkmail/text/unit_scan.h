// Fast scans over UTF-16 text, eight units per step.
#pragma once

#include <windows.h>

#include <cstddef>
#include <cstdint>
#include <cstring>

namespace SMTPClientNS {

namespace unit_scan {

static_assert(sizeof(WCHAR) == 2, "the scans handle 16-bit units");

// Eight units in one vector register; comparisons give 0xFFFF in the lanes that match.
typedef uint16_t Units __attribute__((vector_size(16)));
const size_t kUnitsPerStep = sizeof(Units) / sizeof(uint16_t);

inline Units Load(const WCHAR* p) {
    Units units;
    std::memcpy(&units, p, sizeof units);
    return units;
}

// The first matching lane of a comparison's result, or kUnitsPerStep when none matches.
inline size_t FirstMatch(Units matches) {
    uint64_t halves[2];
    std::memcpy(halves, &matches, sizeof halves);
    if (halves[0])
        return size_t(__builtin_ctzll(halves[0])) / 16;
    if (halves[1])
        return 4 + size_t(__builtin_ctzll(halves[1])) / 16;
    return kUnitsPerStep;
}

} // namespace unit_scan

// The first CR or LF in [p, end), or end. Reads nothing outside the range.
inline const WCHAR* FindCrOrLf(const WCHAR* p, const WCHAR* end) {
    using namespace unit_scan;
    while (size_t(end - p) >= kUnitsPerStep) {
        const Units units = Load(p);
        const Units matches = Units(units == uint16_t('\r')) | Units(units == uint16_t('\n'));
        const size_t first = FirstMatch(matches);
        if (first != kUnitsPerStep)
            return p + first;
        p += kUnitsPerStep;
    }
    while (p != end && *p != TEXT('\r') && *p != TEXT('\n'))
        ++p;
    return p;
}

// The number of units before the terminating zero, at most max (like wcsnlen). Reads whole
// aligned 16-byte blocks, which may reach past the terminator but never into another page.
size_t BoundedTextLength(const WCHAR* text, size_t max);

} // namespace SMTPClientNS
