#include "platform/path_separators.h"

namespace SMTPClientNS {

const char kPathSeparators[] = "/";

bool IsAbsolutePath(const WideString& path) {
    return !path.empty() && path[0] == TEXT('/');
}

} // namespace SMTPClientNS
