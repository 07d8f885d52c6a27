// getenv_s and _snwprintf_s with the results of the Windows CRT.
#include <windows.h>

#include <cstdarg>
#include <cstdlib>
#include <cstring>

errno_t getenv_s(size_t* required, char* buffer, size_t size, const char* name) {
    if (!required || !name || (!buffer && size > 0))
        return EINVAL;
    if (buffer && size > 0)
        buffer[0] = 0;
    const char* value = std::getenv(name);
    if (!value) {
        *required = 0;
        return 0;
    }
    const size_t needed = std::strlen(value) + 1;
    *required = needed;
    if (needed > size)
        return ERANGE;
    std::memcpy(buffer, value, needed);
    return 0;
}

int _snwprintf_s(WCHAR* buffer, size_t size, size_t count, const WCHAR* format, ...) {
    if (!buffer || size == 0 || !format)
        return -1;
    const bool truncate = count == _TRUNCATE;
    const size_t limit = truncate ? size - 1 : (count < size - 1 ? count : size - 1);
    size_t written = 0;
    bool cut = false;
    auto put = [&](WCHAR c) {
        if (written < limit)
            buffer[written++] = c;
        else
            cut = true;
    };
    va_list args;
    va_start(args, format);
    for (const WCHAR* p = format; *p && !cut; ++p) {
        if (p[0] == u'%' && p[1] == u's') {
            const WCHAR* s = va_arg(args, const WCHAR*);
            if (!s)
                s = u"(null)";
            for (; *s && !cut; ++s)
                put(*s);
            ++p;
        } else if (p[0] == u'%' && p[1] == u'%') {
            put(u'%');
            ++p;
        } else {
            put(*p);
        }
    }
    va_end(args);
    buffer[written] = 0;
    if (!cut)
        return static_cast<int>(written);
    // Output cut at count keeps what was written; output that overflows the buffer itself
    // without _TRUNCATE empties it.
    if (!truncate && count >= size - 1)
        buffer[0] = 0;
    return -1;
}
