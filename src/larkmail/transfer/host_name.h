// The server and proxy hosts go into libcurl's URL and proxy text as they are, so only a
// plain host may pass: anything else (a path, a user, a port, a scheme, blanks) would change
// what libcurl does.
#pragma once

#include <string>

namespace SMTPClientNS {

// True for a host name (labels of ASCII letters, digits, '-', '_' or non-ASCII bytes,
// separated by single dots, an optional final dot), which includes IPv4 addresses, and for an
// IPv6 address in brackets (hex digits, ':' and '.', at least two ':').
bool IsPlainHost(const std::string& host);

} // namespace SMTPClientNS
