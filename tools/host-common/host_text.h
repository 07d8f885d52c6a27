// UTF-8 <-> UTF-16 for host programs, which see the library only through its public header.
#pragma once

#include <larkmail/larkmail.h>

#include <string>

namespace larkhost {

// Well-formed input is converted exactly; ill-formed UTF-8 and unpaired surrogates become
// U+FFFD.
std::u16string Utf16(const std::string& utf8);
std::string Utf8(const std::u16string& utf16);
// Text as the library's WideChar, which is wchar_t on Windows and char16_t elsewhere: both are
// UTF-16, so one conversion serves both.
std::basic_string<SMTPClientNS::WideChar> WideText(const std::string& utf8);
std::string Utf8(const SMTPClientNS::WideChar* utf16); // "<null>" for null

} // namespace larkhost
