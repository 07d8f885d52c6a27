#include "message/address_validation.h"

namespace SMTPClientNS {

namespace {

// Control characters, and what cannot stand unquoted in an address: the address goes into
// MAIL FROM:<...> and RCPT TO:<...> as it is, where a blank or '>' would let it add ESMTP
// parameters. Non-ASCII characters (internationalised addresses), '[', ']' and ':' (domain
// literals) stay allowed.
bool MayStandInAddress(WCHAR c) {
    if (c < 0x20 || c == 0x7F)
        return false;
    switch (c) {
    case TEXT(' '):
    case TEXT('<'):
    case TEXT('>'):
    case TEXT('('):
    case TEXT(')'):
    case TEXT(','):
    case TEXT(';'):
    case TEXT('\\'):
    case TEXT('"'):
        return false;
    default:
        return true;
    }
}

} // namespace

bool IsValidAddress(const WCHAR* text) {
    if (!text || !*text)
        return false;
    size_t length = 0;
    size_t firstAt = 0;
    bool sawAt = false;
    for (; text[length]; ++length) {
        if (!MayStandInAddress(text[length]))
            return false;
        if (text[length] == TEXT('@') && !sawAt) {
            sawAt = true;
            firstAt = length;
        }
    }
    return sawAt && firstAt != 0 && firstAt != length - 1;
}

} // namespace SMTPClientNS
