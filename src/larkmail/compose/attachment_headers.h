// What an attachment part says about its file: its Content-Type from the file's extension
// and its Content-Disposition with the file name in a form every reader decodes.
#pragma once

#include <string>

namespace SMTPClientNS {

// The media type for a path by its last extension (compared without regard to case) from a
// small table of common types; "application/octet-stream" for anything else.
const char* ContentTypeForFile(const std::string& path);

// The Content-Disposition header line (without CR LF) of an attachment named utf8Name:
// "attachment" with filename="..." when the name is printable ASCII; otherwise only the RFC 2231
// form filename*=utf-8''... (cut into numbered sections when long, so that lines stay short)
// on continuation lines. Readers that know only filename= then make up a name of their own.
std::string AttachmentDisposition(const std::string& utf8Name);

// The same for an inline image: "inline" with its file name, or without one when the name is
// empty.
std::string InlineDisposition(const std::string& utf8Name);

} // namespace SMTPClientNS
