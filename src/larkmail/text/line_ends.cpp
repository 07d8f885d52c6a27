#include "text/line_ends.h"

#include "text/unit_scan.h"

#include <algorithm>
#include <cstring>

namespace SMTPClientNS {

using namespace unit_scan;

const WCHAR* EndOfCrLfText(const WCHAR* p, const WCHAR* end) {
    // Sixteen units a step while the line ends are whole pairs; the exact end is found unit
    // by unit from the first step where they are not.
    Bytes16 crs = {};
    while (size_t(end - p) >= kUnitsPerWideStep) {
        Bytes16 stepCrs;
        if (!WholeCrLfPairs(Load(p), Load(p + kUnitsPerStep), crs, stepCrs))
            break;
        crs = stepCrs;
        p += kUnitsPerWideStep;
    }
    // A CR that ended the last step whole has its LF unchecked: back to it.
    if (crs[kUnitsPerWideStep - 1] != 0)
        --p;
    for (;;) {
        p = FindCrOrLf(p, end);
        if (p == end || end - p < 2 || p[0] != TEXT('\r') || p[1] != TEXT('\n'))
            return p;
        p += 2;
    }
}

// Address checking would report the units of the last block after the terminator; they are
// read but never used.
__attribute__((no_sanitize("address"))) size_t MeasureCrLfText(const WCHAR* text, size_t max,
                                                               size_t* crLfUnits) {
    const WCHAR* p = text;
    const WCHAR* const limit = text + max;
    while (p != limit && (reinterpret_cast<uintptr_t>(p) % sizeof(Units)) != 0 && *p != 0)
        ++p;
    // The units before head are checked one by one at the end. From head on, blocks of eight
    // units are read from aligned addresses (an aligned block lies in one page with the unit
    // that starts it), sixteen units a step, while their line ends are whole pairs as
    // EndOfCrLfText checks them; from the first step where they are not, or that holds the
    // terminator, the terminator is looked for by BoundedTextLength.
    const WCHAR* const head = p;
    const bool aligned = (reinterpret_cast<uintptr_t>(p) % sizeof(Units)) == 0;
    Bytes16 crs = {};
    if (head != text && head[-1] == TEXT('\r'))
        crs[kUnitsPerWideStep - 1] = 0xFF;
    while (aligned && size_t(limit - p) >= kUnitsPerWideStep) {
        const Units low = *reinterpret_cast<const Units*>(p);
        if (FirstMatch(Units(low == uint16_t(0))) != kUnitsPerStep)
            break;
        const Units high = *reinterpret_cast<const Units*>(p + kUnitsPerStep);
        Bytes16 stepCrs;
        if (FirstMatch(Units(high == uint16_t(0))) != kUnitsPerStep ||
            !WholeCrLfPairs(low, high, crs, stepCrs))
            break;
        crs = stepCrs;
        p += kUnitsPerWideStep;
    }
    const WCHAR* checkedUpTo = p;
    p += BoundedTextLength(p, size_t(limit - p));
    const WCHAR* const terminator = p;
    // A CR that ended the last whole step (or the head) has its LF unchecked: back to it.
    if (crs[kUnitsPerWideStep - 1] != 0)
        --checkedUpTo;
    const WCHAR* end = EndOfCrLfText(text, head);
    if (end == head || (end + 1 == head && *end == TEXT('\r')))
        end = EndOfCrLfText(checkedUpTo, terminator);
    *crLfUnits = size_t(end - text);
    return size_t(terminator - text);
}

size_t CrLfWriter::Copy(const WCHAR** in, const WCHAR* end, WCHAR* target, size_t room) {
    const WCHAR* p = *in;
    WCHAR* out = target;
    WCHAR* const last = target + room;
    if (afterCr_ && p != end) {
        if (*p == TEXT('\n'))
            ++p;
        afterCr_ = false;
    }
    while (p != end && last - out >= 2) {
        // The run up to the next line end is copied as it is.
        const WCHAR* runEnd = FindCrOrLf(p, p + std::min(size_t(end - p), size_t(last - out)));
        std::memcpy(out, p, size_t(runEnd - p) * sizeof(WCHAR));
        out += runEnd - p;
        p = runEnd;
        if (p == end || last - out < 2)
            break;
        const WCHAR unit = *p++;
        *out++ = TEXT('\r');
        *out++ = TEXT('\n');
        if (unit == TEXT('\r')) {
            if (p == end)
                afterCr_ = true;
            else if (*p == TEXT('\n'))
                ++p;
        }
    }
    *in = p;
    return size_t(out - target);
}

} // namespace SMTPClientNS
