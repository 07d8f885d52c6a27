// Names on POSIX systems: '/' and ':', the runtime library as a shared object, and PATH
// under exactly that name (names are case-sensitive: only "PATH" reaches the loader and
// child processes).
#include "platform/platform_names.h"

namespace launcher {

const WCHAR kPathSeparator = TEXT('/');
const WCHAR kPathListSeparator = TEXT(':');
const WCHAR* const kRuntimeLibraryBaseName = TEXT("libcvvm");
const WCHAR* const kRuntimeLibraryExtension = TEXT(".so");
const WCHAR* const kRuntimeLibraryFileName = TEXT("libcvvm.so");
const WCHAR* const kPathVariable = TEXT("PATH");
const WCHAR* const kRegisteredRuntimePathVariable = TEXT("PATH");

} // namespace launcher
