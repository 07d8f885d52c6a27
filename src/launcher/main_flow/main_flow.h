// The launcher's one pass: start-up notice, argument text, runtime library, entry, exit code.
#pragma once

#include <windows.h>

namespace launcher {

// The argument part of a command line: a pointer into it, no copy and no unquoting.
LPCWSTR ArgumentText(LPCWSTR commandLine);

// Whether CV_STARTUP_DEBUG asks for the start-up notice (a value beginning with T or t that
// fits 127 bytes).
bool StartupNoticeRequested();

// Runs the launcher and returns the process exit code: the entry's result, 0 when no
// runtime library could be loaded, -1 when the chosen entry is not exported.
int RunLauncher(HINSTANCE instance, HINSTANCE previous, int showCommand);

} // namespace launcher
