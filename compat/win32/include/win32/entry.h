// The graphical-subsystem program entry wWinMain and the show-window modes it receives.
#pragma once

#include "types.h"

#define SW_SHOWDEFAULT 10

// Defined by the program. On this platform the static library win32compat_winmain provides
// main(), which calls it as Windows would: the executable's module handle, a null previous
// instance, the command line after the program name and the blanks that follow it, and
// SW_SHOWDEFAULT. Its result is the process exit code.
int WINAPI wWinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int showCommand);
