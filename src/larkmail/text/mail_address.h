// Mail addresses and host names as they go to the server: UTF-8, with every domain outside
// ASCII as its A-label form, so that no server has to understand international domains and no
// character is ever replaced on the way.
#pragma once

#include "text/wide_text.h"

#include <string>

namespace SMTPClientNS {

// An address for the envelope and the header fields.
struct WireAddress {
    std::string text;
    // The local part holds characters outside ASCII: only a server that offers SMTPUTF8
    // (RFC 6531) takes the address.
    bool international = false;
};

// The address as UTF-8 with the domain (the text after the last '@') in ASCII. False when that
// domain is no valid internationalised name.
bool ToWireAddress(const WCHAR* address, WireAddress& out);

// A host name in ASCII: as it is when it is ASCII, else its A-label form. False when it is no
// valid internationalised name.
bool ToWireDomain(const WCHAR* domain, std::string& out);

} // namespace SMTPClientNS
