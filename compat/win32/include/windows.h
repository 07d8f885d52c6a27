// The subset of the Win32 API that this project uses, implemented for POSIX systems.
// On Windows the real <windows.h> is used instead; code written against this header
// must compile against both.
#pragma once

#include "win32/types.h"
#include "win32/error.h"
#include "win32/codepage.h"
#include "win32/wchar16.h"
