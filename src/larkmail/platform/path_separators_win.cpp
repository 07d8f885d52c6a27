#include "platform/path_separators.h"

namespace SMTPClientNS {

const char kPathSeparators[] = "/\\";

// A drive letter with a colon counts even without a separator after it ("C:logo.png" is
// relative to that drive's current folder, not to any other folder).
bool IsAbsolutePath(const WideString& path) {
    if (path.empty())
        return false;
    if (path[0] == TEXT('/') || path[0] == TEXT('\\'))
        return true;
    const WCHAR letter = WCHAR(path[0] | 0x20);
    return path.size() >= 2 && letter >= TEXT('a') && letter <= TEXT('z') && path[1] == TEXT(':');
}

} // namespace SMTPClientNS
