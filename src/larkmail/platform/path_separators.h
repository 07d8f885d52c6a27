// The characters that separate the folders of a file path on this platform, and which paths
// do not depend on the current folder.
#pragma once

#include "text/wide_text.h"

namespace SMTPClientNS {

// '/' on POSIX systems; '/' and '\' on Windows.
extern const char kPathSeparators[];

// Where the last component of path begins: just after its last separator, 0 without one.
inline size_t LastComponentStart(const WideString& path) {
    for (size_t i = path.size(); i > 0; --i)
        for (const char* separator = kPathSeparators; *separator; ++separator)
            if (path[i - 1] == WCHAR(*separator))
                return i;
    return 0;
}

// True when the path names the same entry from any current folder: one that starts with '/'
// on POSIX systems; on Windows one that starts with a separator (a UNC path, or the root of
// the current drive) or with a drive letter and a colon.
bool IsAbsolutePath(const WideString& path);

} // namespace SMTPClientNS
