#include "text/line_ends.h"

#include "text/unit_scan.h"

#include <algorithm>
#include <cstring>

namespace SMTPClientNS {

const WCHAR* EndOfCrLfText(const WCHAR* p, const WCHAR* end) {
    for (;;) {
        p = FindCrOrLf(p, end);
        if (p == end || end - p < 2 || p[0] != TEXT('\r') || p[1] != TEXT('\n'))
            return p;
        p += 2;
    }
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
