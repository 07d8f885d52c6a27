// The one message shown when the runtime library does not load: no matching version, a
// missing runtime folder, a missing system runtime library, a missing or unloadable runtime
// library.
#pragma once

#include <windows.h>

namespace launcher {

// Writes the message (kMessageUnits, cut to fit) explaining why the runtime library did
// not load from runtimePath, which the message shows as it was written. probedPath is where
// that folder is tested for existence: runtimePath itself, or a relative XML path resolved
// against the launcher.
void DescribeRuntimeLoadFailure(LPCWSTR runtimePath, LPCWSTR probedPath, LPCWSTR requiredVersion,
                                WCHAR* message);

} // namespace launcher
