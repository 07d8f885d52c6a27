#include "log/trace_formatter.h"

#include <cstdint>
#include <cstring>

namespace SMTPClientNS {

namespace {

const size_t kTextWidth = 96;
const size_t kHexWidth = 16;

inline char Shown(unsigned char byte) {
    return (byte >= 0x20 && byte <= 0x7F) ? char(byte) : '.';
}

// True when one of the eight bytes of word is shown as ".": its high bit is set, or it is
// below 0x20 (a subtraction that borrows into a clear high bit).
inline bool AnyHidden(uint64_t word) {
    const uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    return ((word & highs) | ((word - 0x20 * ones) & ~word & highs)) != 0;
}

// Appends the bytes as they are shown, in one piece: copied at once, then eight bytes at a
// time checked for any that must become dots (protocol text has almost none).
void AppendShown(const unsigned char* data, size_t count, std::string& out) {
    const size_t at = out.size();
    out.append(reinterpret_cast<const char*>(data), count);
    char* to = &out[at];
    size_t k = 0;
    for (; k + 8 <= count; k += 8) {
        uint64_t word;
        std::memcpy(&word, data + k, 8);
        if (AnyHidden(word))
            for (size_t b = k; b < k + 8; ++b)
                to[b] = Shown(data[b]);
    }
    for (; k < count; ++k)
        to[k] = Shown(data[k]);
}

// The first CR LF pair whose CR lies in [from, last], or size when there is none.
size_t FindCrLf(const unsigned char* data, size_t size, size_t from, size_t last) {
    if (size < 2)
        return size;
    if (last > size - 2)
        last = size - 2;
    while (from <= last) {
        const void* found = std::memchr(data + from, '\r', last - from + 1);
        if (!found)
            return size;
        const size_t at = size_t(static_cast<const unsigned char*>(found) - data);
        if (data[at + 1] == '\n')
            return at;
        from = at + 1;
    }
    return size;
}

void FormatText(const std::string& prefix, const unsigned char* data, size_t size,
                std::string& out) {
    size_t i = 0;
    while (i < size) {
        out += prefix;
        // A line ends at the first CR LF that starts within its 96 characters or right after
        // them; the next line starts after the pair. Without one it holds 96 characters.
        const size_t crLf = FindCrLf(data, size, i, i + kTextWidth);
        size_t count, next;
        if (crLf < size) {
            count = crLf - i;
            next = crLf + 2;
        } else {
            count = size - i < kTextWidth ? size - i : kTextWidth;
            next = i + kTextWidth;
        }
        AppendShown(data + i, count, out);
        out += '\n';
        i = next;
    }
}

void FormatHex(const std::string& prefix, const unsigned char* data, size_t size,
               std::string& out) {
    static const char kDigits[] = "0123456789abcdef";
    for (size_t i = 0; i < size; i += kHexWidth) {
        out += prefix;
        for (size_t c = 0; c < kHexWidth; ++c) {
            if (i + c < size) {
                const unsigned char byte = data[i + c];
                const char hex[3] = {kDigits[byte >> 4], kDigits[byte & 15], ' '};
                out.append(hex, 3);
            } else {
                out.append("    ", 4);
            }
        }
        AppendShown(data + i, size - i < kHexWidth ? size - i : kHexWidth, out);
        out += '\n';
    }
}

} // namespace

void FormatTraceData(const char* label, const unsigned char* data, size_t size, char mode,
                     std::string& out) {
    const std::string prefix = std::string(label) + ": ";
    if (mode != 0)
        FormatText(prefix, data, size, out);
    else
        FormatHex(prefix, data, size, out);
}

} // namespace SMTPClientNS
