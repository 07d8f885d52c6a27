// The system runtime libraries the runtime library needs, probed by name when it fails to
// load. On Windows these are the Visual C++ runtime DLLs; on Linux the GCC unwinder, the C
// library and the C++ standard library, in the same roles and order.
#include "platform/platform_names.h"

namespace launcher {

#ifdef _WIN32
const WCHAR* const kSystemRuntimeLibraries[3] = {TEXT("VCRUNTIME140_1.dll"),
                                                 TEXT("VCRUNTIME140.dll"), TEXT("msvcp140.dll")};
#else
const WCHAR* const kSystemRuntimeLibraries[3] = {TEXT("libgcc_s.so.1"), TEXT("libc.so.6"),
                                                 TEXT("libstdc++.so.6")};
#endif

} // namespace launcher
