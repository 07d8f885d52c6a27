// The check every stored address of a message passes.
#pragma once

#include <windows.h>

namespace SMTPClientNS {

// True when text is non-empty, holds an '@' whose first occurrence is neither the first nor the
// last character, and holds no control character below U+0020. Nothing else is checked: spaces,
// angle brackets, several '@' and a missing dot all pass. Addresses go verbatim into SMTP
// commands and header lines, so a line break in one would inject commands or headers.
bool IsValidAddress(const WCHAR* text);

} // namespace SMTPClientNS
