// How the platform resolves a RuntimePath from the XML file and how a composed PATH goes on
// after the runtime entries: path_rules_posix.cpp and path_rules_win.cpp.
#pragma once

#include "wide_string.h"

namespace launcher {

// True when an XML RuntimePath is absolute: it is then used as written.
bool IsAbsoluteConfiguredPath(LPCWSTR path);

// A relative XML RuntimePath resolved against the launcher.
struct ResolvedRuntimePath {
    WideString folder; // the runtime folder as written into PATH
    WideString probed; // the path tested for existence when the runtime library does not load
};

// Resolves a relative RuntimePath against the launcher (its full file name and its folder).
ResolvedRuntimePath ResolveRelativeRuntimePath(const WideString& launcherFile,
                                               const WideString& launcherFolder,
                                               LPCWSTR runtimePath);

// What follows the runtime entries in a composed PATH: a list separator and the inherited
// PATH.
WideString InheritedPathSuffix(const WideString& inheritedPath);

} // namespace launcher
