// The registry search: the runtime registered for the required version, else the lowest
// installed version above it.
#pragma once

#include "runtime_location/path_variable.h"

namespace launcher {

// Writes PATH ("<Location>/x64" in front of the inherited PATH) for the registered runtime
// of the required version when its folder holds the library, else for the lowest installed
// version above it (only that one is tried). runtimePath (MAX_PATH units, zeroed) keeps the
// last "Location" read, for the failure message.
void UseRegisteredRuntime(const InheritedPath& inherited, LPCWSTR requiredVersion,
                          WCHAR* runtimePath, LPCWSTR libraryName);

} // namespace launcher
