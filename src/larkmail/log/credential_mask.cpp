#include "log/credential_mask.h"

#include <cstring>

namespace SMTPClientNS {

namespace {

const char kMask[] = "****";

bool StartsWithAuth(const char* line, size_t length) {
    static const char kAuth[] = "AUTH";
    if (length < 4 || (length > 4 && line[4] != ' '))
        return false;
    for (size_t k = 0; k < 4; ++k) {
        if ((line[k] & ~0x20) != kAuth[k])
            return false;
    }
    return true;
}

// Calls onLine(start, length, lineEnd) for each line of the block; lineEnd is the CR LF that
// closed it (empty for a last line without one).
template <typename OnLine> void ForEachLine(const char* data, size_t size, OnLine onLine) {
    size_t start = 0;
    while (start < size) {
        size_t end = start;
        while (end < size && !(data[end] == '\r' && end + 1 < size && data[end + 1] == '\n'))
            ++end;
        const bool closed = end < size;
        onLine(data + start, end - start, closed);
        start = closed ? end + 2 : end;
    }
}

} // namespace

bool CredentialMask::MaskClientLines(const char* data, size_t size, std::string& masked) {
    bool changed = false;
    std::string out;
    ForEachLine(data, size, [&](const char* line, size_t length, bool closed) {
        if (StartsWithAuth(line, length)) {
            inExchange_ = true;
            // "AUTH", blanks, the mechanism; whatever follows is the initial response.
            size_t at = 4;
            while (at < length && line[at] == ' ')
                ++at;
            while (at < length && line[at] != ' ')
                ++at;
            size_t rest = at;
            while (rest < length && line[rest] == ' ')
                ++rest;
            if (rest < length) {
                out.append(line, at);
                out += ' ';
                out += kMask;
                changed = true;
            } else {
                out.append(line, length);
            }
        } else if (inExchange_ && length > 0) {
            out += kMask;
            changed = true;
        } else {
            out.append(line, length);
        }
        if (closed)
            out += "\r\n";
    });
    if (changed)
        masked.swap(out);
    return changed;
}

void CredentialMask::NoteServerLines(const char* data, size_t size) {
    if (!inExchange_)
        return;
    ForEachLine(data, size, [&](const char* line, size_t length, bool) {
        const bool isReply = length >= 3 && line[0] >= '0' && line[0] <= '9' && line[1] >= '0' &&
                             line[1] <= '9' && line[2] >= '0' && line[2] <= '9';
        if (isReply && std::strncmp(line, "334", 3) != 0)
            inExchange_ = false;
    });
}

} // namespace SMTPClientNS
