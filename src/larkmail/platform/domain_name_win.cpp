#include "platform/domain_name.h"

#include <windows.h>

namespace SMTPClientNS {

// IdnToAscii applies the UTS #46 mapping and IDNA 2008 from Windows 8 on.
bool DomainToAscii(const WideString& domain, std::string& ascii) {
    const int length = int(domain.size());
    const int size = IdnToAscii(0, domain.c_str(), length, nullptr, 0);
    if (size <= 0)
        return false;
    WideString converted(size_t(size), L'\0');
    if (IdnToAscii(0, domain.c_str(), length, converted.data(), size) != size)
        return false;
    std::string result;
    for (const WCHAR unit : converted) {
        if (unit == 0 || unit > 0x7F)
            return false;
        result += char(unit);
    }
    ascii = result;
    return true;
}

} // namespace SMTPClientNS
