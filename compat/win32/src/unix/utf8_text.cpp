// UTF-16 <-> system bytes with byte escapes for what is not UTF-8.
#include "utf8_text.h"

namespace win32compat {

namespace {

constexpr char16_t kByteEscapeBase = 0xDC00;
constexpr char16_t kFirstByteEscape = 0xDC80;
constexpr char16_t kLastByteEscape = 0xDCFF;

void AppendUtf8(std::string& out, char32_t cp) {
    if (cp < 0x80) {
        out += char(cp);
    } else if (cp < 0x800) {
        out += char(0xC0 | (cp >> 6));
        out += char(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += char(0xE0 | (cp >> 12));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    } else {
        out += char(0xF0 | (cp >> 18));
        out += char(0x80 | ((cp >> 12) & 0x3F));
        out += char(0x80 | ((cp >> 6) & 0x3F));
        out += char(0x80 | (cp & 0x3F));
    }
}

// The length of the valid UTF-8 sequence at s[i], 0 when none starts there. Overlong forms,
// encoded surrogates and code points above U+10FFFF are not valid.
size_t ValidSequenceLength(const unsigned char* s, size_t n, size_t i, char32_t& cp) {
    const unsigned char b0 = s[i];
    if (b0 < 0x80) {
        cp = b0;
        return 1;
    }
    size_t more = 0;
    unsigned char lo = 0x80, hi = 0xBF;
    if (b0 >= 0xC2 && b0 <= 0xDF) {
        more = 1;
        cp = b0 & 0x1F;
    } else if (b0 >= 0xE0 && b0 <= 0xEF) {
        more = 2;
        cp = b0 & 0x0F;
        lo = b0 == 0xE0 ? 0xA0 : 0x80;
        hi = b0 == 0xED ? 0x9F : 0xBF;
    } else if (b0 >= 0xF0 && b0 <= 0xF4) {
        more = 3;
        cp = b0 & 0x07;
        lo = b0 == 0xF0 ? 0x90 : 0x80;
        hi = b0 == 0xF4 ? 0x8F : 0xBF;
    } else {
        return 0;
    }
    if (n - i <= more)
        return 0;
    for (size_t k = 1; k <= more; ++k) {
        if (s[i + k] < lo || s[i + k] > hi)
            return 0;
        cp = (cp << 6) | (s[i + k] & 0x3F);
        lo = 0x80;
        hi = 0xBF;
    }
    return more + 1;
}

} // namespace

std::string ToSystemBytes(LPCWSTR text) {
    std::string out;
    for (const WCHAR* p = text; p && *p; ++p) {
        const char16_t unit = *p;
        if (unit >= 0xD800 && unit <= 0xDBFF && p[1] >= 0xDC00 && p[1] <= 0xDFFF) {
            AppendUtf8(out, 0x10000 + ((char32_t(unit) - 0xD800) << 10) + (p[1] - 0xDC00));
            ++p;
        } else if (unit >= kFirstByteEscape && unit <= kLastByteEscape) {
            out += char(unit - kByteEscapeBase);
        } else if (unit >= 0xD800 && unit <= 0xDFFF) {
            AppendUtf8(out, 0xFFFD);
        } else {
            AppendUtf8(out, unit);
        }
    }
    return out;
}

std::u16string FromSystemBytes(std::string_view bytes) {
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    const size_t n = bytes.size();
    std::u16string out;
    out.reserve(n);
    for (size_t i = 0; i < n;) {
        char32_t cp = 0;
        const size_t length = ValidSequenceLength(s, n, i, cp);
        if (length == 0) {
            out += char16_t(kByteEscapeBase + s[i]);
            ++i;
            continue;
        }
        if (cp >= 0x10000) {
            out += char16_t(0xD800 + ((cp - 0x10000) >> 10));
            out += char16_t(0xDC00 + ((cp - 0x10000) & 0x3FF));
        } else {
            out += char16_t(cp);
        }
        i += length;
    }
    return out;
}

} // namespace win32compat
