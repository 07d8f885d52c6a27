// The system runtime libraries the runtime library needs, probed by name when it fails to
// load: the Visual C++ runtime DLLs.
#include "platform/platform_names.h"

namespace launcher {

const WCHAR* const kSystemRuntimeLibraries[3] = {TEXT("VCRUNTIME140_1.dll"),
                                                 TEXT("VCRUNTIME140.dll"), TEXT("msvcp140.dll")};

} // namespace launcher
