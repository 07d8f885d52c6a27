// The XML configuration file beside the launcher: its name, and the RuntimePath it names.
#pragma once

#include <windows.h>

#include <cstddef>

namespace launcher {

// The configuration file's name: the launcher's full file name cut at the last '.' of its
// final component, plus ".xml" (".xml" is appended when that component has no '.'). False
// when the result does not fit the 260-unit buffer.
bool ConfigurationFileName(LPCWSTR launcherFileName, WCHAR* out, size_t outSize);

// Reads the RuntimePath text of the configuration file beside the running launcher into
// runtimePath (260 units, zeroed by the caller). True when the root element is
// "Application" with at least one "RuntimePath" child; the buffer then holds the last
// non-empty RuntimePath text, or stays empty when every such child is empty or when the
// chosen text does not fit the buffer (the caller reports an incorrect path).
bool ReadConfiguredRuntimePath(WCHAR* runtimePath);
// The same for the named configuration file.
bool ReadConfiguredRuntimePathFrom(LPCWSTR configurationFile, WCHAR* runtimePath);

} // namespace launcher
