// Finding and loading the runtime library: a 64-bit copy beside the launcher, else the
// folder named in the XML file, else the registered runtime of the required version, else
// the lowest registered version above it. PATH gets the chosen folders in front; failures
// become one message for the user.
#pragma once

#include "runtime_location/buffer_sizes.h"

#include <windows.h>

namespace launcher {

// Loads the runtime library (libraryName, the launcher's instance, a zeroed message buffer
// of kMessageUnits). Returns the module, or null with the message to show in the buffer.
HMODULE LoadRuntimeLibrary(LPCWSTR libraryName, HINSTANCE instance, WCHAR* message);

} // namespace launcher
