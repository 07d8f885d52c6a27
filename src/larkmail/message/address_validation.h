// The check every stored address of a message passes.
#pragma once

#include <windows.h>

namespace SMTPClientNS {

// True when text is non-empty, holds an '@' whose first occurrence is neither the first nor the
// last character, and holds no control character (below U+0020, U+007F) and none of the
// characters that cannot stand unquoted in an address: blank, '<', '>', '(', ')', ',', ';',
// '\\' and '"'. Addresses go verbatim into SMTP commands and header lines, so a line break
// would inject commands or headers and a blank or '>' ESMTP parameters. Several '@' and a
// missing dot pass.
bool IsValidAddress(const WCHAR* text);

} // namespace SMTPClientNS
