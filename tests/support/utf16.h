// UTF-8 <-> UTF-16 for test assertions: the project's codec, which tests/compat checks against
// literal bytes.
#pragma once

#include "host_text.h"

namespace testsupport {
using larkhost::Utf16;
using larkhost::Utf8;
} // namespace testsupport
