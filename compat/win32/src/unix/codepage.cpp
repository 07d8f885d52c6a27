// UTF-8 <-> UTF-16 conversion with the results, sizes and error codes of the Windows calls.
// CP_ACP is UTF-8 on this platform.
#include <windows.h>

#include "utf_codec.h"

#include <cstring>
#include <string>

namespace {

bool IsSupportedCodePage(UINT codePage) {
    return codePage == CP_ACP || codePage == CP_UTF8;
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
        const utf::Decoded d = utf::DecodeUtf8(s + i, n - i);
        if (!d.valid && (flags & MB_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        char16_t units[2];
        const size_t count = utf::EncodeUtf16(d.codePoint, units);
        for (size_t k = 0; k < count; ++k)
            put(units[k]);
        i += d.length;
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
        char bytes[4];
        const size_t len = utf::EncodeUtf8(cp, bytes);
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
    for (size_t i = 0; i < n && !overflow;) {
        const utf::Decoded d = utf::DecodeUtf16(wideChar[i], i + 1 < n ? wideChar[i + 1] : 0);
        if (!d.valid && (flags & WC_ERR_INVALID_CHARS)) {
            SetLastError(ERROR_NO_UNICODE_TRANSLATION);
            return 0;
        }
        put(d.codePoint);
        i += d.length;
    }
    if (overflow) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    return static_cast<int>(produced);
}
