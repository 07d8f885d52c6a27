#include "text/line_ends.h"

namespace SMTPClientNS {

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
        const WCHAR unit = *p++;
        if (unit == TEXT('\r')) {
            *out++ = TEXT('\r');
            *out++ = TEXT('\n');
            if (p == end) {
                afterCr_ = true;
            } else if (*p == TEXT('\n')) {
                ++p;
            }
        } else if (unit == TEXT('\n')) {
            *out++ = TEXT('\r');
            *out++ = TEXT('\n');
        } else {
            *out++ = unit;
        }
    }
    *in = p;
    return size_t(out - target);
}

} // namespace SMTPClientNS
