// Names on Windows: '\' and ';', the runtime library as a DLL, and the PATH variable under
// the names the launcher has always used (Windows matches them without regard to case).
#include "platform/platform_names.h"

namespace launcher {

const WCHAR kPathSeparator = TEXT('\\');
const WCHAR kPathListSeparator = TEXT(';');
const WCHAR* const kRuntimeLibraryBaseName = TEXT("CVVM");
const WCHAR* const kRuntimeLibraryExtension = TEXT(".dll");
const WCHAR* const kRuntimeLibraryFileName = TEXT("cvvm.dll");
const WCHAR* const kPathVariable = TEXT("path");
const WCHAR* const kRegisteredRuntimePathVariable = TEXT("Path");

} // namespace launcher
