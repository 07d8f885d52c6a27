// The built library, loaded once per test program the way a host loads it.
#pragma once

#include "host_library.h"

namespace testsupport {

using larkhost::LarkmailLibrary;

// The library at LARKMAIL_LIBRARY_PATH, loaded on first use.
const LarkmailLibrary& Library();

} // namespace testsupport
