// The system runtime libraries the runtime library needs, probed by name when it fails to
// load: the GCC unwinder, the C library and the C++ standard library, in the roles and
// order of the Windows ones.
#include "platform/platform_names.h"

namespace launcher {

const WCHAR* const kSystemRuntimeLibraries[3] = {TEXT("libgcc_s.so.1"), TEXT("libc.so.6"),
                                                 TEXT("libstdc++.so.6")};

} // namespace launcher
