// UTF-8 <-> UTF-16 conversion with the results, sizes and error codes of the Windows calls.
// CP_ACP is UTF-8 on this platform.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

bool IsSupportedCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_UTF8;
}

// Decodes one code point starting at s[i] (i < n). Invalid input yields U+FFFD and consumes
// the maximal subpart of an ill-formed sequence (at least one byte), as Windows does.
char32_t DecodeUtf8(const unsigned char* s, size_t n, size_t& i, bool& invalid) {
    const unsigned char b0 = s[i];
    invalid = false;
    if (b0 < 0x80) {
        ++i;
        return b0;
    }
    int more = 0;
    char32_t cp = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        more = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        more = 2;
        cp = b0 & 0x0F;
        if (b0 == 0xE0)
            lo = 0xA0;
        else if (b0 == 0xED)
            hi = 0x9F;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        more = 3;
        cp = b0 & 0x07;
        if (b0 == 0xF0)
            lo = 0x90;
        else if (b0 == 0xF4)
            hi = 0x8F;
    } else {
        ++i;
        invalid = true;
        return 0xFFFD;
    }
    size_t j = i + 1;
    for (int k = 0; k < more; ++k, ++j) {
        if (j >= n || s[j] < lo || s[j] > hi) {
            i = j;
            invalid = true;
            return 0xFFFD;
        }
        cp = (cp << 6) | (s[j] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    i = j;
    return cp;
}

} // namespace

int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte, int cbMultiByte,
                               LPWSTR wideChar, int cchWideChar) {
    if (!IsSupportedCodePage(codePage) || !multiByte || cbMultiByte == 0 || cbMultiByte < -1 ||
        cchWideChar < 0 || (cchWideChar > 0 && !wideChar)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (flags & ~static_cast<DWORD>(MB_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    const size_t n = cbMultiByte == -1 ? std::strlen(multiByte) + 1 : size_t(cbMultiByte);
    const auto* s = reinterpret_cast<const unsigned char*>(multiByte);
    size_t produced = 0;
    bool overflow = false;
    auto put = [&](WCHAR unit) {
        if (cchWideChar > 0) {
            if (produced >= size_t(cchWideChar)) {
                overflow = true;
                return;
            }
            wideChar[produced] = unit;
        }
        ++produced;
    };
    for (size_t i = 0; i < n && !overflow;) {
        bool invalid = false;
        const char32_t cp = DecodeUtf8(s, n, i, invalid);
        if (invalid && (flags & MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        if (cp >= 0x10000) {
            put(WCHAR(0xD800 + ((cp - 0x10000) >> 10)));
            put(WCHAR(0xDC00 + ((cp - 0x10000) & 0x3FF)));
        } else {
            put(WCHAR(cp));
        }
    }
    if (overflow) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return static_cast<int>(produced);
}

int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar, int cchWideChar,
                               LPSTR multiByte, int cbMultiByte, LPCSTR defaultChar,
                               LPBOOL usedDefaultChar) {
    if (!IsSupportedCodePage(codePage) || !wideChar || cchWideChar == 0 || cchWideChar < -1 ||
        cbMultiByte < 0 || (cbMultiByte > 0 && !multiByte) || defaultChar || usedDefaultChar) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    if (flags & ~static_cast<DWORD>(WC_ERR_INVALID_CHARS)) {
        SetLastError(ERROR_INVALID_FLAGS);
        return 0;
    }
    size_t n = 0;
    if (cchWideChar == -1) {
        while (wideChar[n])
            ++n;
        ++n;
    } else {
        n = size_t(cchWideChar);
    }
    size_t produced = 0;
    bool overflow = false;
    auto put = [&](char32_t cp) {
        unsigned char bytes[4];
        size_t len;
        if (cp < 0x80) {
            bytes[0] = static_cast<unsigned char>(cp);
            len = 1;
        } else if (cp < 0x800) {
            bytes[0] = static_cast<unsigned char>(0xC0 | (cp >> 6));
            bytes[1] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 2;
        } else if (cp < 0x10000) {
            bytes[0] = static_cast<unsigned char>(0xE0 | (cp >> 12));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 3;
        } else {
            bytes[0] = static_cast<unsigned char>(0xF0 | (cp >> 18));
            bytes[1] = static_cast<unsigned char>(0x80 | ((cp >> 12) & 0x3F));
            bytes[2] = static_cast<unsigned char>(0x80 | ((cp >> 6) & 0x3F));
            bytes[3] = static_cast<unsigned char>(0x80 | (cp & 0x3F));
            len = 4;
        }
        if (cbMultiByte > 0) {
            // A character is written whole or not at all.
            if (produced + len > size_t(cbMultiByte)) {
                overflow = true;
                return;
            }
            std::memcpy(multiByte + produced, bytes, len);
        }
        produced += len;
    };
    for (size_t i = 0; i < n && !overflow; ++i) {
        const char32_t u = wideChar[i];
        if (u >= 0xD800 && u <= 0xDBFF && i + 1 < n && wideChar[i + 1] >= 0xDC00 &&
            wideChar[i + 1] <= 0xDFFF) {
            put(0x10000 + ((u - 0xD800) << 10) + (char32_t(wideChar[i + 1]) - 0xDC00));
            ++i;
        } else if (u >= 0xD800 && u <= 0xDFFF) {
            if (flags & WC_ERR_INVALID_CHARS) {
                SetLastError(ERROR_NO_UNICODE_TRANSLATION);
                return 0;
            }
            put(0xFFFD);
        } else {
            put(u);
        }
    }
    if (overflow) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return static_cast<int>(produced);
}
