// Ending a failed transfer's connection without another word to the peer.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// Shuts down the connection that the handle's last transfer left open, if any. libcurl would
// otherwise say QUIT when the handle is freed and wait up to the response time-out for a peer
// that has already failed; on a shut-down socket that attempt fails at once.
void DropConnection(CURL* handle);

} // namespace SMTPClientNS
