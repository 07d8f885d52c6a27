// The socket of a connection kept between transfers: whether it is still quiet, and ending it
// without another word to the peer.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// True when the socket has nothing to read and no error, as an idle SMTP connection must be.
// Input on an idle connection means the server has closed it, is closing it (a TLS close
// alert, a 421 reply) or is out of step with us. False for CURL_SOCKET_BAD.
bool IsSocketQuiet(curl_socket_t socket);

// Shuts the socket down in both directions: libcurl's QUIT on it then fails at once instead of
// waiting for a peer that has failed or gone. Nothing for CURL_SOCKET_BAD.
void ShutDownSocket(curl_socket_t socket);

} // namespace SMTPClientNS
