// Base64 encoding with the line breaks and size conventions of CryptBinaryToStringA.
#include <windows.h>

#include <cstring>
#include <string>

namespace {

constexpr DWORD kFormatMask = 0x0000FFFF;
constexpr DWORD kModifierMask = CRYPT_STRING_NOCRLF | CRYPT_STRING_NOCR;
constexpr size_t kLineLength = 64;

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

std::string EncodeBase64(const BYTE* data, size_t size) {
    std::string out;
    out.reserve((size + 2) / 3 * 4);
    size_t i = 0;
    for (; i + 3 <= size; i += 3) {
        const unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8 | data[i + 2];
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += kAlphabet[v & 63];
    }
    if (size - i == 1) {
        const unsigned v = unsigned(data[i]) << 16;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += "==";
    } else if (size - i == 2) {
        const unsigned v = unsigned(data[i]) << 16 | unsigned(data[i + 1]) << 8;
        out += kAlphabet[v >> 18 & 63];
        out += kAlphabet[v >> 12 & 63];
        out += kAlphabet[v >> 6 & 63];
        out += '=';
    }
    return out;
}

// Ends every line of 64 characters, and the last shorter one, with the separator.
std::string BreakLines(const std::string& text, const char* separator) {
    std::string out;
    for (size_t pos = 0; pos < text.size(); pos += kLineLength) {
        out.append(text, pos, kLineLength);
        out += separator;
    }
    return out;
}

} // namespace

BOOL WINAPI CryptBinaryToStringA(const BYTE* binary, DWORD binarySize, DWORD flags, LPSTR text,
                                 DWORD* size) {
    if (!binary || !size || (flags & kFormatMask) != CRYPT_STRING_BASE64 ||
        (flags & ~(kFormatMask | kModifierMask)) != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string encoded = EncodeBase64(binary, binarySize);
    if (!(flags & CRYPT_STRING_NOCRLF))
        encoded = BreakLines(encoded, (flags & CRYPT_STRING_NOCR) ? "\n" : "\r\n");

    const DWORD needed = DWORD(encoded.size() + 1);
    if (!text) {
        *size = needed;
        return TRUE;
    }
    if (*size < needed) {
        *size = needed;
        SetLastError(ERROR_MORE_DATA);
        return FALSE;
    }
    std::memcpy(text, encoded.c_str(), needed);
    *size = needed - 1;
    return TRUE;
}
