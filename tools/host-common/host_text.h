// UTF-8 <-> UTF-16 for host programs, which see the library only through its public header.
#pragma once

#include <string>

namespace larkhost {

// Well-formed input is converted exactly; ill-formed UTF-8 and unpaired surrogates become
// U+FFFD.
std::u16string Utf16(const std::string& utf8);
std::string Utf8(const std::u16string& utf16);
inline std::string Utf8(const char16_t* utf16) {
    return utf16 ? Utf8(std::u16string(utf16)) : std::string("<null>");
}

} // namespace larkhost
