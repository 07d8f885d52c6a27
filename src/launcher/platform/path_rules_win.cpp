// Path rules on Windows: a colon anywhere or a leading "\\" makes a path absolute, paths are
// normalised lexically, and PATH keeps its separator even before an empty inherited PATH.
#include "platform/path_rules.h"

#include "platform/platform_names.h"

namespace launcher {

bool IsAbsoluteConfiguredPath(LPCWSTR path) {
    return wcschr(path, TEXT(':')) || (path[0] == TEXT('\\') && path[1] == TEXT('\\'));
}

ResolvedRuntimePath ResolveRelativeRuntimePath(const WideString& launcherFile, const WideString&,
                                               LPCWSTR runtimePath) {
    // The launcher's file name before "\..\": the lexical normalisation resolves it to the
    // launcher's folder. The existence test takes the path as written (the current folder).
    return {launcherFile + kPathSeparator + TEXT("..") + kPathSeparator + runtimePath, runtimePath};
}

WideString InheritedPathSuffix(const WideString& inheritedPath) {
    return kPathListSeparator + inheritedPath;
}

} // namespace launcher
