// The C runtime's wide-string functions for 16-bit text.
// On Windows wchar_t is 16 bits and <wchar.h> serves; here wchar_t is 32 bits, so these
// overloads take WCHAR (char16_t) strings under the same names and with the same meaning.
#pragma once

#include "types.h"

#include <cstddef>
#include <cwchar>

inline size_t wcslen(const WCHAR* s) {
    const WCHAR* p = s;
    while (*p)
        ++p;
    return static_cast<size_t>(p - s);
}

inline size_t wcsnlen(const WCHAR* s, size_t max) {
    size_t n = 0;
    while (n < max && s[n])
        ++n;
    return n;
}

inline int wcscmp(const WCHAR* a, const WCHAR* b) {
    while (*a && *a == *b) {
        ++a;
        ++b;
    }
    return (*a > *b) - (*a < *b);
}

inline int wcsncmp(const WCHAR* a, const WCHAR* b, size_t n) {
    for (; n > 0; --n, ++a, ++b) {
        if (*a != *b)
            return (*a > *b) - (*a < *b);
        if (!*a)
            return 0;
    }
    return 0;
}

inline const WCHAR* wcschr(const WCHAR* s, WCHAR c) {
    for (;; ++s) {
        if (*s == c)
            return s;
        if (!*s)
            return nullptr;
    }
}
inline WCHAR* wcschr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcschr(static_cast<const WCHAR*>(s), c));
}

inline const WCHAR* wcsrchr(const WCHAR* s, WCHAR c) {
    const WCHAR* found = nullptr;
    for (;; ++s) {
        if (*s == c)
            found = s;
        if (!*s)
            return found;
    }
}
inline WCHAR* wcsrchr(WCHAR* s, WCHAR c) {
    return const_cast<WCHAR*>(wcsrchr(static_cast<const WCHAR*>(s), c));
}

inline const WCHAR* wcsstr(const WCHAR* s, const WCHAR* needle) {
    if (!*needle)
        return s;
    for (; *s; ++s) {
        const WCHAR* a = s;
        const WCHAR* b = needle;
        while (*a && *a == *b) {
            ++a;
            ++b;
        }
        if (!*b)
            return s;
    }
    return nullptr;
}
inline WCHAR* wcsstr(WCHAR* s, const WCHAR* needle) {
    return const_cast<WCHAR*>(wcsstr(static_cast<const WCHAR*>(s), needle));
}

// Secure-CRT bounded copy and append for 16-bit strings.
// Windows behaviour reproduced: the destination is always NUL-terminated; count = _TRUNCATE
// copies what fits and returns STRUNCATE; a source that does not fit otherwise empties the
// destination and returns ERANGE; a null pointer or zero size returns EINVAL.
// Difference: Windows also calls the invalid-parameter handler (which ends the process by
// default) on ERANGE and EINVAL; here the error code is simply returned.
#include <cerrno>

#ifndef _TRUNCATE
#define _TRUNCATE (static_cast<size_t>(-1))
#endif
#ifndef STRUNCATE
#define STRUNCATE 80
#endif
typedef int errno_t;

inline errno_t wcsncat_s(WCHAR* dest, size_t destSize, const WCHAR* src, size_t count) {
    if (!dest || destSize == 0)
        return EINVAL;
    const size_t start = wcsnlen(dest, destSize);
    if (start == destSize || !src) {
        dest[0] = 0;
        return EINVAL;
    }
    size_t n = 0;
    while (n < count && src[n]) {
        if (start + n + 1 >= destSize) {
            if (count == _TRUNCATE) {
                dest[start + n] = 0;
                return STRUNCATE;
            }
            dest[0] = 0;
            return ERANGE;
        }
        dest[start + n] = src[n];
        ++n;
    }
    dest[start + n] = 0;
    return 0;
}

inline errno_t wcsncpy_s(WCHAR* dest, size_t destSize, const WCHAR* src, size_t count) {
    if (!dest || destSize == 0)
        return EINVAL;
    dest[0] = 0;
    return wcsncat_s(dest, destSize, src, count);
}

inline errno_t wcscpy_s(WCHAR* dest, size_t destSize, const WCHAR* src) {
    return wcsncpy_s(dest, destSize, src, _TRUNCATE - 1);
}

inline errno_t wcscat_s(WCHAR* dest, size_t destSize, const WCHAR* src) {
    return wcsncat_s(dest, destSize, src, _TRUNCATE - 1);
}

// Case-insensitive comparison as the CRT does it in the C locale: only ASCII letters fold
// (to lower case); every other unit compares by value.
inline WCHAR AsciiToLower16(WCHAR c) {
    return (c >= u'A' && c <= u'Z') ? static_cast<WCHAR>(c + (u'a' - u'A')) : c;
}

inline int _wcsnicmp(const WCHAR* a, const WCHAR* b, size_t n) {
    for (; n > 0; --n, ++a, ++b) {
        const WCHAR ca = AsciiToLower16(*a);
        const WCHAR cb = AsciiToLower16(*b);
        if (ca != cb)
            return (ca > cb) - (ca < cb);
        if (!ca)
            return 0;
    }
    return 0;
}

inline int _wcsicmp(const WCHAR* a, const WCHAR* b) {
    return _wcsnicmp(a, b, _TRUNCATE);
}
