// A private certificate authority for every send of the process, since the client interface
// has no such setting: the file named by LARKMAIL_CA_FILE.
#pragma once

#include <string>

namespace SMTPClientNS {

// LARKMAIL_CA_FILE as it is at this call (read at each send); empty when unset or empty.
std::string CaFileFromEnvironment();

// What identifies the trust that file gives: its path, size and modification time; empty
// without a file. A kept connection was verified against one such identity and must not
// serve a send that has another.
std::string CaFileIdentity();

} // namespace SMTPClientNS
