// Internationalised domain names: a domain outside ASCII goes to servers and resolvers as its
// A-label form (IDNA 2008 with the UTS #46 mapping), which all of them accept.
#pragma once

#include "text/wide_text.h"

#include <string>

namespace SMTPClientNS {

// The ASCII form of domain: each label outside ASCII becomes "xn--..." after the mapping
// (letter case, width and compatibility forms, dots such as U+3002). False when domain is no
// valid internationalised name; ascii is then left unchanged.
bool DomainToAscii(const WideString& domain, std::string& ascii);

} // namespace SMTPClientNS
