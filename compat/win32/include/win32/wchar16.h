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
