// The options of one send, taken from a client and its message: connection, envelope, header
// block and MIME tree.
#pragma once

#include "transfer/transfer_set.h"

#include <larkmail/larkmail.h>

#include <string>

namespace SMTPClientNS {

// Sets every option of a send: connection, envelope, header block and MIME tree. Returns the
// internal result code: 0, a CURLcode, or the library's own negative code.
int ApplySendOptions(TransferSet& transfer, ISmtpClient* client);

// Proxy, server URL and port, time-outs, login, bearer token, TLS and certificate checks (with
// the CA file of LARKMAIL_CA_FILE when it is set).
// Returns 0 or the failing code: CURLE_URL_MALFORMAT for a server host and
// CURLE_COULDNT_RESOLVE_PROXY for a proxy host that is not a plain host. 0 when handle or
// client is null.
int ApplyConnectionOptions(CURL* handle, ISmtpClient* client);

// Everything ApplyConnectionOptions takes from the client that decides which connection a send
// may use: server, port, credentials, bearer token, TLS, certificate checks, the CA file and
// proxy. Two sends with the same text may share a connection. The text holds secrets: keep it
// private.
std::string ConnectionSettings(ISmtpClient* client);

} // namespace SMTPClientNS
