#include "message/address_validation.h"

namespace SMTPClientNS {

bool IsValidAddress(const WCHAR* text) {
    if (!text || !*text)
        return false;
    size_t length = 0;
    size_t firstAt = 0;
    bool sawAt = false;
    for (; text[length]; ++length) {
        if (text[length] < 0x20)
            return false;
        if (text[length] == TEXT('@') && !sawAt) {
            sawAt = true;
            firstAt = length;
        }
    }
    return sawAt && firstAt != 0 && firstAt != length - 1;
}

} // namespace SMTPClientNS
