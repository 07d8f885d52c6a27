// Path rules on POSIX systems: '/' begins an absolute path, ".." is resolved physically, and
// an empty PATH entry means the current folder.
#include "platform/path_rules.h"

#include "platform/platform_names.h"

namespace launcher {

bool IsAbsoluteConfiguredPath(LPCWSTR path) {
    return path[0] == kPathSeparator;
}

ResolvedRuntimePath ResolveRelativeRuntimePath(const WideString&, const WideString& launcherFolder,
                                               LPCWSTR runtimePath) {
    // ".." after a file name does not resolve here, so the launcher's folder itself stands in
    // front of the relative path, for PATH and for the existence test alike.
    const WideString folder = launcherFolder + kPathSeparator + runtimePath;
    return {folder, folder};
}

WideString InheritedPathSuffix(const WideString& inheritedPath) {
    // No separator behind the last runtime entry when there is no inherited PATH: the empty
    // entry would add the current folder.
    if (inheritedPath.empty())
        return {};
    return kPathListSeparator + inheritedPath;
}

} // namespace launcher
