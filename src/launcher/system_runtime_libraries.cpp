// The system runtime libraries the runtime library needs, probed by name when it fails to
// load. On Windows these are the Visual C++ runtime DLLs; on Linux the GCC unwinder, the C
// library and the C++ standard library, in the same roles and order.
#include "platform_names.h"

namespace launcher {

#ifdef _WIN32
const WCHAR* const kSystemRuntimeLibraries[3] = {L"VCRUNTIME140_1.dll", L"VCRUNTIME140.dll",
                                                 L"msvcp140.dll"};
#else
const WCHAR* const kSystemRuntimeLibraries[3] = {u"libgcc_s.so.1", u"libc.so.6", u"libstdc++.so.6"};
#endif

} // namespace launcher
