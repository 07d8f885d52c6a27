// Internal to the platform layer: lets CloseHandle (file.cpp) close thread handles too.
#pragma once

#include <windows.h>

namespace win32compat {

// Closes a handle from CreateThread; false when the handle is not a thread handle.
bool CloseThreadHandle(HANDLE handle);

} // namespace win32compat
