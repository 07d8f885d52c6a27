// Sizes of the runtime search's text buffers, in UTF-16 units.
#pragma once

#include <cstddef>

namespace launcher {

// A runtime version: at most 19 characters.
inline constexpr size_t kVersionUnits = 20;
// A PATH value: at most 8191 characters.
inline constexpr size_t kPathValueUnits = 8192;
// The message shown when no runtime library loads: cut to 259 characters.
inline constexpr size_t kMessageUnits = 260;

} // namespace launcher
