// Names and separators that differ between the platforms the launcher runs on. Code that
// composes paths or PATH values uses these constants, never a literal separator.
#pragma once

#include <windows.h>

namespace launcher {

#ifdef _WIN32
inline constexpr WCHAR kPathSeparator = TEXT('\\');
inline constexpr WCHAR kPathListSeparator = TEXT(';');
// The runtime library's name, built by the main flow from a base name and an extension.
inline constexpr const WCHAR* kRuntimeLibraryBaseName = TEXT("CVVM");
inline constexpr const WCHAR* kRuntimeLibraryExtension = TEXT(".dll");
// The file name appended to a runtime folder when the diagnosis looks for the library.
inline constexpr const WCHAR* kRuntimeLibraryFileName = TEXT("cvvm.dll");
// The PATH variable as read and as written for an XML runtime path, and as written for a
// registered runtime. Windows matches the names without regard to case.
inline constexpr const WCHAR* kPathVariable = TEXT("path");
inline constexpr const WCHAR* kRegisteredRuntimePathVariable = TEXT("Path");
#else
// Linux names are case-sensitive: only "PATH" reaches the loader and child processes.
inline constexpr const WCHAR* kPathVariable = TEXT("PATH");
inline constexpr const WCHAR* kRegisteredRuntimePathVariable = TEXT("PATH");
inline constexpr WCHAR kPathSeparator = TEXT('/');
inline constexpr WCHAR kPathListSeparator = TEXT(':');
inline constexpr const WCHAR* kRuntimeLibraryBaseName = TEXT("libcvvm");
inline constexpr const WCHAR* kRuntimeLibraryExtension = TEXT(".so");
inline constexpr const WCHAR* kRuntimeLibraryFileName = TEXT("libcvvm.so");
#endif

// The three system runtime libraries probed, in this order, when the runtime library does
// not load. Defined outside the launcher's core library (system_runtime_libraries.cpp) so
// that a test build of the launcher can name libraries that are certainly missing.
extern const WCHAR* const kSystemRuntimeLibraries[3];

// The platform's word for the architecture sub-folder of a runtime and of the development
// environment.
inline constexpr const WCHAR* kArchitectureFolder = TEXT("x64");

} // namespace launcher
