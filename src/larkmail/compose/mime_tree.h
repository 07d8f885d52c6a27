// The MIME tree under the root of a send: the bodies as alternatives, the inline images and
// the attachments, each group in a multipart container of its own, in this order.
#pragma once

#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <curl/curl.h>

namespace SMTPClientNS {

// Converts the HTML and plain bodies into the message's charset and adds them (HTML first)
// under a multipart/alternative part of root; with no body, root gets one empty part.
// Returns 0, or the negative conversion code.
int AttachBodies(curl_mime* root, curl_mime* alternative, ISmtpClient* client);

// Adds the inline images under a multipart/related part of root (only with an HTML body).
void AttachInlineImages(curl_mime* root, curl_mime* related, ISmtpClient* client);

// Adds the attachments under a multipart/mixed part of root.
void AttachFiles(curl_mime* root, curl_mime* mixed, ISmtpClient* client);

// SMTP requires CR LF: a lone LF or a lone CR becomes CR LF, an existing CR LF stays.
WideString WithCrLf(const WCHAR* text);

} // namespace SMTPClientNS
