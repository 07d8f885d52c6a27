// System runtime library names for the test build of the launcher: the first is present,
// the other two are missing, so the diagnosis must name the second.
#include "platform/platform_names.h"

namespace launcher {

const WCHAR* const kSystemRuntimeLibraries[3] = {u"libc.so.6", u"libcvtest-missing-a.so",
                                                 u"libcvtest-missing-b.so"};

} // namespace launcher
