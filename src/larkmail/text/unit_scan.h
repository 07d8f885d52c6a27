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

// Sixteen units (two steps) a byte each: 0xFF where a comparison matched, else 0.
typedef uint8_t Bytes16 __attribute__((vector_size(16)));
const size_t kUnitsPerWideStep = 2 * kUnitsPerStep;

// The units of the two steps low and high that equal unit.
inline Bytes16 Matches(Units low, Units high, uint16_t unit) {
    return __builtin_shuffle(Bytes16(Units(low == unit)), Bytes16(Units(high == unit)),
                             Bytes16{0, 2, 4, 6, 8, 10, 12, 14, 16, 18, 20, 22, 24, 26, 28, 30});
}

// The lanes moved up by one: lane 0 gets lane 15 of before, lane 1 lane 0 of lanes, and so on.
inline Bytes16 FollowingLanes(Bytes16 lanes, Bytes16 before) {
    typedef uint64_t Halves __attribute__((vector_size(16)));
    const Halves now = Halves(lanes), spilled = Halves(before) >> 56;
    return Bytes16((now << 8) | __builtin_shuffle(spilled, now >> 56, Halves{1, 2}));
}

inline bool Any(Bytes16 lanes) {
    uint64_t halves[2];
    std::memcpy(halves, &lanes, sizeof halves);
    return (halves[0] | halves[1]) != 0;
}

// True when the line ends among sixteen units are whole CR LF pairs: each LF comes right after
// a CR, each CR but the last has an LF right after it. crs receives the CRs; crsBefore are
// those of the sixteen units before (none at the start), whose last CR needs an LF first here.
inline bool WholeCrLfPairs(Units low, Units high, Bytes16 crsBefore, Bytes16& crs) {
    crs = Matches(low, high, '\r');
    return !Any(Matches(low, high, '\n') ^ FollowingLanes(crs, crsBefore));
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
