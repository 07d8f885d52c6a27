// One libcurl transfer over SMTP: the easy handle with the MIME structures and string lists
// made for it, and running it.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// One easy handle, the three MIME structures made on it (the root is the outermost
// multipart/mixed) and the two string lists.
struct TransferSet {
    CURL* handle = nullptr;
    curl_mime* root = nullptr;
    curl_mime* related = nullptr;
    curl_mime* alternative = nullptr;
    curl_slist* recipients = nullptr;
    curl_slist* headers = nullptr;
    // The envelope holds an address whose local part lies outside ASCII (needs SMTPUTF8).
    bool international = false;
};

// Creates the easy handle and, on it, root, alternative and related. What could not be
// created stays null.
void CreateTransfer(TransferSet& transfer);

// True when the handle and all three MIME structures exist.
bool IsComplete(const TransferSet& transfer);

// Frees a transfer set and nulls the freed references; does nothing when the handle is null.
void FreeTransfer(TransferSet& transfer);

} // namespace SMTPClientNS
