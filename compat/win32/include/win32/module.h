// Modules: LoadLibraryW, GetProcAddress, FreeLibrary, GetModuleFileNameW, GetModuleHandleW.
#pragma once

#include "types.h"
