// Names and separators that differ between the platforms the launcher runs on, defined in
// platform_names_posix.cpp and platform_names_win.cpp. Code that composes paths or PATH
// values uses these constants, never a literal separator.
#pragma once

#include <windows.h>

namespace launcher {

extern const WCHAR kPathSeparator;
extern const WCHAR kPathListSeparator;
// The runtime library's name, built by the main flow from a base name and an extension.
extern const WCHAR* const kRuntimeLibraryBaseName;
extern const WCHAR* const kRuntimeLibraryExtension;
// The file name appended to a runtime folder when the diagnosis looks for the library.
extern const WCHAR* const kRuntimeLibraryFileName;
// The PATH variable as read and as written for an XML runtime path, and as written for a
// registered runtime.
extern const WCHAR* const kPathVariable;
extern const WCHAR* const kRegisteredRuntimePathVariable;

// The three system runtime libraries probed, in this order, when the runtime library does
// not load. Defined apart from the other names (system_runtime_libraries_*.cpp, linked
// into the program, not into the launcher's core library) so that a test build of the
// launcher can name libraries that are certainly missing.
extern const WCHAR* const kSystemRuntimeLibraries[3];

// The word for the architecture sub-folder of a runtime and of the development environment.
inline constexpr const WCHAR* kArchitectureFolder = TEXT("x64");

} // namespace launcher
