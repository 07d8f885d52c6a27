// The characters that separate the folders of a file path on this platform, and which paths
// do not depend on the current folder.
#pragma once

#include "text/wide_text.h"

namespace SMTPClientNS {

// '/' on POSIX systems; '/' and '\' on Windows.
extern const char kPathSeparators[];

// True when the path names the same entry from any current folder: one that starts with '/'
// on POSIX systems; on Windows one that starts with a separator (a UNC path, or the root of
// the current drive) or with a drive letter and a colon.
bool IsAbsolutePath(const WideString& path);

} // namespace SMTPClientNS
