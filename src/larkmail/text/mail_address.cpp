#include "text/mail_address.h"

#include "platform/domain_name.h"

#include <algorithm>

namespace SMTPClientNS {

namespace {

bool IsAscii(const WideString& text) {
    return std::all_of(text.begin(), text.end(), [](WCHAR unit) { return unit < 0x80; });
}

} // namespace

bool ToWireDomain(const WCHAR* domain, std::string& out) {
    const WideString text = domain ? domain : TEXT("");
    if (IsAscii(text)) {
        out = Utf8Text(text.c_str());
        return true;
    }
    return DomainToAscii(text, out);
}

bool ToWireAddress(const WCHAR* address, WireAddress& out) {
    const WideString text = address ? address : TEXT("");
    const size_t at = text.rfind(TEXT('@'));
    const WideString local = at == WideString::npos ? text : text.substr(0, at);
    std::string domain;
    if (at != WideString::npos && !ToWireDomain(text.c_str() + at + 1, domain))
        return false;
    out.text = Utf8Text(local.c_str());
    if (at != WideString::npos)
        out.text += "@" + domain;
    out.international = !IsAscii(local);
    return true;
}

} // namespace SMTPClientNS
