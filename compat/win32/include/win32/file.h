// Files: CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSizeEx, GetFileAttributesW,
// CloseHandle.
#pragma once

#include "types.h"
