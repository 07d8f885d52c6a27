// Finding and loading the runtime library: a 64-bit copy beside the launcher, else the
// folder named in the XML file, else the registered runtime of the required version, else
// the lowest registered version above it. PATH gets the chosen folders in front; failures
// become one message for the user.
#pragma once

#include <windows.h>

namespace launcher {

inline constexpr size_t kVersionUnits = 20;
inline constexpr size_t kPathValueUnits = 8192;
inline constexpr size_t kMessageUnits = 260;

// Loads the runtime library (libraryName, the launcher's instance, a zeroed message buffer
// of kMessageUnits). Returns the module, or null with the message to show in the buffer.
HMODULE LoadRuntimeLibrary(LPCWSTR libraryName, HINSTANCE instance, WCHAR* message);

// Uses the runtime registered for exactly this version (11 characters) when its folder
// holds the library: writes "<Location>/x64", a separator and inheritedPath to PATH (on
// Linux no separator before an empty inheritedPath) and returns true.
// runtimePath (MAX_PATH units) keeps whatever "Location" was read.
bool TryRegisteredRuntime(LPCWSTR inheritedPath, LPCWSTR version, WCHAR* runtimePath,
                          LPCWSTR libraryName);

// Writes the message (kMessageUnits, cut to fit) explaining why the runtime library did
// not load from runtimePath. probeFolder, when given, is where runtimePath lies for the
// existence tests (a relative XML path resolved against the launcher's folder); the
// message always shows runtimePath itself.
void DescribeRuntimeLoadFailure(LPCWSTR runtimePath, WCHAR* message, LPCWSTR requiredVersion,
                                LPCWSTR probeFolder = nullptr);

} // namespace launcher
