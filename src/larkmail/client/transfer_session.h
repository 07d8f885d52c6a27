// One libcurl transfer over SMTP: the transfer set, the connection and send options taken
// from a client and its message, and the synchronous send.
#pragma once

#include <larkmail/larkmail.h>

#include <curl/curl.h>

namespace SMTPClientNS {

// One easy handle, the four MIME structures made on it and the two string lists.
struct TransferSet {
    CURL* handle = nullptr;
    curl_mime* root = nullptr;
    curl_mime* mixed = nullptr;
    curl_mime* related = nullptr;
    curl_mime* alternative = nullptr;
    curl_slist* recipients = nullptr;
    curl_slist* headers = nullptr;
};

// Creates the easy handle and, on it, root, alternative, related and mixed. What could not be
// created stays null.
void CreateTransfer(TransferSet& transfer);

// Frees a transfer set and nulls the freed references; does nothing when the handle is null.
void FreeTransfer(TransferSet& transfer);

// Sets every option of a send: connection, envelope, header block and MIME tree. Returns the
// internal result code: 0, a CURLcode, or the library's own negative code.
int ApplySendOptions(TransferSet& transfer, ISmtpClient* client);

// Proxy, server URL and port, time-out, login, bearer token, TLS and certificate checks.
// Returns 0 or the failing code; 0 when handle or client is null.
int ApplyConnectionOptions(CURL* handle, ISmtpClient* client);

} // namespace SMTPClientNS
