#include "text/unit_scan.h"

namespace SMTPClientNS {

using namespace unit_scan;

// Address checking would report the units of the last block after the terminator; they are
// read but never used.
__attribute__((no_sanitize("address"))) size_t BoundedTextLength(const WCHAR* text, size_t max) {
    const WCHAR* p = text;
    const WCHAR* const limit = text + max;
    while (p != limit && (reinterpret_cast<uintptr_t>(p) % sizeof(Units)) != 0) {
        if (*p == 0)
            return size_t(p - text);
        ++p;
    }
    while (size_t(limit - p) >= kUnitsPerStep) {
        // An aligned block lies in one page with the unit that starts it.
        const Units units = *reinterpret_cast<const Units*>(p);
        const size_t first = FirstMatch(Units(units == uint16_t(0)));
        if (first != kUnitsPerStep)
            return size_t(p - text) + first;
        p += kUnitsPerStep;
    }
    while (p != limit && *p != 0)
        ++p;
    return size_t(p - text);
}

} // namespace SMTPClientNS
