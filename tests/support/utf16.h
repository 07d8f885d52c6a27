// UTF-8 <-> UTF-16 for test assertions, independent of the code under test.
#pragma once

#include "host_text.h"

namespace testsupport {
using larkhost::Utf16;
using larkhost::Utf8;
} // namespace testsupport
