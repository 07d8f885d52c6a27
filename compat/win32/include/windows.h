// The subset of the Win32 API that this project uses, implemented for POSIX systems.
// On Windows the real <windows.h> is used instead; code written against this header
// must compile against both.
#pragma once

#include "win32/types.h"
#include "win32/error.h"
#include "win32/codepage.h"
#include "win32/wchar16.h"
#include "win32/file.h"
#include "win32/thread.h"
#include "win32/window.h"
#include "win32/com.h"
#include "win32/crypt.h"
#include "win32/sysinfo.h"
#include "win32/registry.h"
#include "win32/module.h"
#include "win32/environment.h"
#include "win32/resource.h"
#include "win32/messagebox.h"
#include "win32/crt.h"
#include "win32/entry.h"
