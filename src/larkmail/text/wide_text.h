// UTF-16 strings inside the library and their conversion to and from narrow text.
#pragma once

#include <larkmail/larkmail.h>

#include <windows.h>

#include <string>
#include <type_traits>

namespace SMTPClientNS {

// The library's text unit is WCHAR; hosts see the same type as WideChar.
static_assert(std::is_same_v<WideChar, WCHAR>, "WideChar and WCHAR must be one type");

// Internal text: UTF-16 strings of WCHAR.
typedef std::basic_string<WCHAR> WideString;

// UTF-16 to the system ANSI code page. A null text leaves target unchanged; an empty text
// gives an empty target. Characters the code page lacks become what WideCharToMultiByte
// makes of them.
void WideToAnsi(const WCHAR* text, std::string& target);

// UTF-16 to UTF-8, whatever the ANSI code page: what goes to the transfer library (credentials,
// addresses, host names, names in the mail) must reach it unchanged on every system. An unpaired
// surrogate becomes U+FFFD. Empty for a null text.
std::string Utf8Text(const WCHAR* text);

// Narrow text in codePage (CP_ACP or CP_UTF8) to UTF-16. A null or empty text leaves target
// unchanged.
void NarrowToWide(const char* text, WideString& target, UINT codePage);

} // namespace SMTPClientNS
