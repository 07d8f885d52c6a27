// A MIME part whose content is a file, read through the file's UTF-16 name: the transfer
// library would open a name in the ANSI code page, which cannot hold every name a host gives.
#pragma once

#include "text/wide_text.h"

#include <curl/curl.h>

namespace SMTPClientNS {

// Makes part read the file at path when the transfer sends it. The file is opened at the first
// read and closed at its end (or when the part is freed), so that a prepared send holds no
// open file. A file that cannot be read then fails the transfer with CURLE_READ_ERROR.
void SetFilePartData(curl_mimepart* part, const WCHAR* path);

// True when path names a regular file that can be opened for reading, as the part will open it.
bool IsReadableRegularFile(const WCHAR* path);

// The name an attachment announces, in UTF-8: the last component of path without control
// characters, which would otherwise break the part's header lines.
std::string AttachmentFileName(const WCHAR* path);

} // namespace SMTPClientNS
