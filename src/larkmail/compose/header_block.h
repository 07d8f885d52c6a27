// The header block of an outgoing message: From, To, Cc, X-Priority, Date, Subject and
// Message-ID lines, each ending in CR LF, folded to 78 characters where blanks allow it and
// never longer than 998. Non-ASCII display names and subject words become base64
// encoded-words of at most 75 characters in the message's character set.
#pragma once

#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <string>

namespace SMTPClientNS {

// Appends the header block of the client's message to block. Returns 0, or the negative
// conversion code of the first display name that could not be converted. Without a client or
// a message it appends nothing and returns 0.
int ComposeHeaderBlock(ISmtpClient* client, std::string& block);

// The header form of one display name: ASCII as it is, anything else (or a name holding a
// word too long for a header line) one encoded-word, or, when it needs several, a run of them
// separated by spaces whose first fits on a line after "From: ".
int EncodeDisplayName(const std::string& charset, const WCHAR* name, std::string& out);

// When text holds a special character, escapes '"' and '\' in place and returns true; the
// caller then puts the text between double quotes.
bool QuoteDisplayName(std::string& text);

// The header form of a subject: space-ended chunks, ASCII ones as they are; consecutive
// non-ASCII (or overlong) chunks become one run of encoded-words, with the blanks between them
// (and those before the first and after the last when nothing else stands there) inside, and
// the space before plain text that follows outside the last word. A subject that starts with
// encoded text has a first word short enough for the line "Subject: " starts. A chunk that
// cannot be converted ends the subject.
void EncodeSubject(const std::string& charset, const WCHAR* subject, std::string& out);

// "Date: <local time>\r\n" in the classic locale.
std::string FormatDateHeader();

// "Message-ID: <GUID@COMPUTERNAME>\r\n" with a new GUID.
std::string FormatMessageId();

// Standard base64 of the bytes as one line; empty for empty input.
std::string EncodeBase64(const unsigned char* bytes, size_t count);

// The text with every CR and LF replaced by a space, so that it cannot start a header line.
WideString SingleLine(const WCHAR* text);

} // namespace SMTPClientNS
