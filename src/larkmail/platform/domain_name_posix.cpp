#include "platform/domain_name.h"

#include <idn2.h>

namespace SMTPClientNS {

namespace {

int ToAscii(const std::string& utf8, int flags, std::string& ascii) {
    char* output = nullptr;
    const int result = idn2_to_ascii_8z(utf8.c_str(), &output, IDN2_NFC_INPUT | flags);
    if (result == IDN2_OK)
        ascii = output;
    idn2_free(output);
    return result;
}

} // namespace

// libidn2: non-transitional processing first (IDNA 2008 keeps ß and ς), and transitional
// processing for the names that only IDNA 2003 allowed, as resolvers still accept them.
bool DomainToAscii(const WideString& domain, std::string& ascii) {
    const std::string utf8 = Utf8Text(domain.c_str());
    const int result = ToAscii(utf8, IDN2_NONTRANSITIONAL, ascii);
    if (result == IDN2_DISALLOWED)
        return ToAscii(utf8, IDN2_TRANSITIONAL, ascii) == IDN2_OK;
    return result == IDN2_OK;
}

} // namespace SMTPClientNS
