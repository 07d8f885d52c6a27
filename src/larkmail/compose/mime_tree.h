// The MIME tree under the root (the outermost multipart/mixed) of a send: first the bodies
// (plain, then HTML, as multipart/alternative when there are both), inside a
// multipart/related together with the inline images the HTML references; then each
// attachment as a part of the root itself.
#pragma once

#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <curl/curl.h>

namespace SMTPClientNS {

// Converts the plain and HTML bodies into the message's charset. Both bodies go into
// alternative (plain first) and, without inline images, under a multipart/alternative part of
// root; a single body is a part of root itself, unless inline images follow, which take the
// HTML body from alternative. With no body, root gets one empty part. Returns 0, or the
// negative conversion code.
int AttachBodies(curl_mime* root, curl_mime* alternative, ISmtpClient* client);

// With an HTML body and inline images: a multipart/related part of root whose first part is
// the multipart/alternative holding the bodies (filled by AttachBodies), followed by the
// images. Call after AttachBodies.
void AttachInlineImages(curl_mime* root, curl_mime* alternative, curl_mime* related,
                        ISmtpClient* client);

// Adds each attachment as a base64 part of root with its Content-Type and file name. Call
// last.
void AttachFiles(curl_mime* root, ISmtpClient* client);

// The transfer encoding a converted body needs to arrive intact: "base64" when it holds a zero
// byte (UTF-16, UTF-32), "quoted-printable" when a line exceeds 998 bytes, "7bit" when every
// byte is below 128 (ASCII, ISO-2022-JP), else none (the transfer library's 8bit).
const char* BodyTransferEncoding(const char* bytes, size_t length);

// Checks, before anything is sent, that every file the two calls above would add is a regular
// file that can be opened for reading. A folder, FIFO, device or socket would be sent as an
// empty part, never end, or block, so it counts as missing. Returns 0 or CURLE_READ_ERROR.
int CheckFilesToSend(ISmtpClient* client);

// SMTP requires CR LF: a lone LF or a lone CR becomes CR LF, an existing CR LF stays.
WideString WithCrLf(const WCHAR* text);

} // namespace SMTPClientNS
