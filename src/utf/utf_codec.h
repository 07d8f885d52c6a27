// UTF-8 <-> UTF-16 for every part of the project: the platform layer's code pages and system
// names, the launcher, the packaging tool and the host programs. They differ only in what
// invalid input becomes, which is a parameter here.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>

namespace utf {

// One code point read from the start of UTF-8 or UTF-16 input.
struct Decoded {
    char32_t codePoint; // U+FFFD when the input is not valid
    size_t length;      // units read: the sequence, or the ill-formed part (at least one)
    bool valid;
};

// The UTF-8 sequence at the start of bytes[0..n), n > 0. Overlong forms, encoded surrogates,
// code points above U+10FFFF and cut sequences are invalid; then length is the maximal
// subpart of the ill-formed sequence, the part Windows replaces by one U+FFFD.
Decoded DecodeUtf8(const unsigned char* bytes, size_t n);

// The code point at a UTF-16 unit: a surrogate pair with the next unit (0 when there is none),
// or the unit alone. An unpaired surrogate is invalid, length 1.
Decoded DecodeUtf16(char32_t unit, char32_t next);

// The code point as UTF-8 into out (room for 4 bytes); returns the byte count.
size_t EncodeUtf8(char32_t codePoint, char* out);
// The code point as UTF-16 into out (room for 2 units); returns the unit count.
size_t EncodeUtf16(char32_t codePoint, char16_t* out);

enum class Invalid {
    // Each ill-formed UTF-8 part and each unpaired surrogate becomes U+FFFD, as on Windows.
    Replace,
    // Lossless for POSIX names, which need not be UTF-8: each byte that is not part of valid
    // UTF-8 becomes U+DC00 + byte (U+DC80..U+DCFF) and goes back to that byte; any other
    // unpaired surrogate becomes U+FFFD.
    EscapeBytes,
};

constexpr char32_t kByteEscapeBase = 0xDC00;

inline bool IsByteEscape(char32_t unit) {
    return unit >= kByteEscapeBase + 0x80 && unit <= kByteEscapeBase + 0xFF;
}

// Whole texts, in UTF-16 units of the caller's 16-bit type (WCHAR: wchar_t on Windows,
// char16_t elsewhere).
template <class Unit>
std::basic_string<Unit> Utf8ToUtf16(std::string_view bytes, Invalid invalid = Invalid::Replace) {
    static_assert(sizeof(Unit) == 2, "UTF-16 units are 16 bits");
    const auto* s = reinterpret_cast<const unsigned char*>(bytes.data());
    std::basic_string<Unit> out;
    out.reserve(bytes.size());
    for (size_t i = 0; i < bytes.size();) {
        const Decoded d = DecodeUtf8(s + i, bytes.size() - i);
        if (!d.valid && invalid == Invalid::EscapeBytes) {
            out += Unit(kByteEscapeBase + s[i++]);
            continue;
        }
        char16_t units[2];
        out.append(units, units + EncodeUtf16(d.codePoint, units));
        i += d.length;
    }
    return out;
}

template <class Unit>
std::string Utf16ToUtf8(std::basic_string_view<Unit> text, Invalid invalid = Invalid::Replace) {
    static_assert(sizeof(Unit) == 2, "UTF-16 units are 16 bits");
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size();) {
        const char32_t unit = text[i];
        const Decoded d = DecodeUtf16(unit, i + 1 < text.size() ? char32_t(text[i + 1]) : 0);
        if (!d.valid && invalid == Invalid::EscapeBytes && IsByteEscape(unit)) {
            out += char(unit - kByteEscapeBase);
            ++i;
            continue;
        }
        char bytes[4];
        out.append(bytes, EncodeUtf8(d.codePoint, bytes));
        i += d.length;
    }
    return out;
}

// A NUL-terminated text; empty for a null pointer.
template <class Unit>
std::string Utf16ToUtf8(const Unit* text, Invalid invalid = Invalid::Replace) {
    return text ? Utf16ToUtf8(std::basic_string_view<Unit>(text), invalid) : std::string();
}

} // namespace utf
