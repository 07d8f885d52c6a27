#include "utf_codec.h"

namespace utf {

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) {
    return unit >= 0xD800 && unit <= 0xDBFF;
}

bool IsLowSurrogate(char32_t unit) {
    return unit >= 0xDC00 && unit <= 0xDFFF;
}

} // namespace

Decoded DecodeUtf8(const unsigned char* s, size_t n) {
    const unsigned char b0 = s[0];
    if (b0 < 0x80)
        return {b0, 1, true};
    size_t more = 0;
    char32_t cp = 0;
    // The range of the second byte; later bytes are 0x80..0xBF.
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        more = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        more = 2;
        cp = b0 & 0x0F;
        lo = b0 == 0xE0 ? 0xA0 : 0x80; // no overlong forms
        hi = b0 == 0xED ? 0x9F : 0xBF; // no surrogates
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        more = 3;
        cp = b0 & 0x07;
        lo = b0 == 0xF0 ? 0x90 : 0x80; // no overlong forms
        hi = b0 == 0xF4 ? 0x8F : 0xBF; // nothing above U+10FFFF
    } else {
        return {kReplacement, 1, false};
    }
    for (size_t k = 1; k <= more; ++k) {
        if (k >= n || s[k] < lo || s[k] > hi)
            return {kReplacement, k, false};
        cp = (cp << 6) | (s[k] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return {cp, more + 1, true};
}

Decoded DecodeUtf16(char32_t unit, char32_t next) {
    if (IsHighSurrogate(unit) && IsLowSurrogate(next))
        return {0x10000 + ((unit - 0xD800) << 10) + (next - 0xDC00), 2, true};
    if (IsHighSurrogate(unit) || IsLowSurrogate(unit))
        return {kReplacement, 1, false};
    return {unit, 1, true};
}

size_t EncodeUtf8(char32_t cp, char* out) {
    if (cp < 0x80) {
        out[0] = char(cp);
        return 1;
    }
    if (cp < 0x800) {
        out[0] = char(0xC0 | (cp >> 6));
        out[1] = char(0x80 | (cp & 0x3F));
        return 2;
    }
    if (cp < 0x10000) {
        out[0] = char(0xE0 | (cp >> 12));
        out[1] = char(0x80 | ((cp >> 6) & 0x3F));
        out[2] = char(0x80 | (cp & 0x3F));
        return 3;
    }
    out[0] = char(0xF0 | (cp >> 18));
    out[1] = char(0x80 | ((cp >> 12) & 0x3F));
    out[2] = char(0x80 | ((cp >> 6) & 0x3F));
    out[3] = char(0x80 | (cp & 0x3F));
    return 4;
}

size_t EncodeUtf16(char32_t cp, char16_t* out) {
    if (cp < 0x10000) {
        out[0] = char16_t(cp);
        return 1;
    }
    out[0] = char16_t(0xD800 + ((cp - 0x10000) >> 10));
    out[1] = char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
    return 2;
}

} // namespace utf
