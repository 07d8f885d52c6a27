// String resources (LoadStringW).
#pragma once

#include "types.h"

// Where a module's string table lives on this platform: the ELF section named below in the
// module's own file (not loaded into memory), added to a built file with
//     objcopy --add-section .win32strings=<table file> <module>
// the way a resource editor adds a STRINGTABLE on Windows. The section is a sequence of
// entries, each: the string id (32-bit little-endian), the length in UTF-16 units (32-bit
// little-endian), then that many UTF-16LE units (no terminator). A later entry with the
// same id replaces an earlier one.
#define WIN32COMPAT_STRING_TABLE_SECTION ".win32strings"

// Windows behaviour reproduced: the string with that id is copied into the buffer, cut to
// size-1 units, and terminated; the result is the number of units copied. An absent string
// (or an empty one, or a module without a table) gives 0 with ERROR_RESOURCE_NAME_NOT_FOUND
// and an empty buffer. A null module means the executable. A module file that cannot be
// opened for reading (removed, or execute-only) gives 0 with ERROR_FILE_NOT_FOUND or
// ERROR_ACCESS_DENIED instead, so that a caller can tell "not there" from "not readable".
// Difference: size 0 (a read-only pointer to the resource on Windows) is not supported and
// fails with ERROR_INVALID_PARAMETER.
WIN32_API int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);
