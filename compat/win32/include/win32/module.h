// Modules: LoadLibraryW, GetProcAddress, FreeLibrary, GetModuleFileNameW, GetModuleHandleW,
// GetModuleHandleExW.
// A module handle on this platform is the dynamic loader's handle (dlopen).
#pragma once

#include "types.h"

typedef INT_PTR(WINAPI* FARPROC)();

// Windows behaviour reproduced:
// - A name that holds a path separator is loaded from that path only.
// - A bare name is searched like Windows' standard order: the executable's folder, then the
//   system's library folders (what the dynamic loader finds by the bare name), then the
//   current folder, then each folder of PATH in order. A candidate that exists but cannot be
//   loaded (for example an image of the other word size) is passed over, as Windows passes
//   over images of another machine type.
// - Loading a module that is already loaded returns the same handle and counts a reference.
// - Failure returns null with ERROR_MOD_NOT_FOUND (nothing found) or ERROR_BAD_FORMAT
//   (something found that could not be loaded).
// Differences: no ".dll" is appended to names without an extension; the path separator
// is '/'.
WIN32_API HMODULE WINAPI LoadLibraryW(LPCWSTR fileName);

// Null with ERROR_PROC_NOT_FOUND when the module does not export the name.
WIN32_API FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName);

WIN32_API BOOL WINAPI FreeLibrary(HMODULE module);

// The full path of the module's file; a null module means the executable. The result is
// the length without the terminator; a buffer too small receives size-1 characters and the
// terminator, and the result is size with ERROR_INSUFFICIENT_BUFFER (as since Windows Vista).
// Bytes of the path that are not UTF-8 come back as U+DC80..U+DCFF (see CreateFileW), so the
// name opens the same file.
WIN32_API DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size);

// A null name gives the executable's handle. Otherwise the handle of an already loaded
// module known by that name (no reference counted), or null with ERROR_MOD_NOT_FOUND.
WIN32_API HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName);

#define GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT 0x00000002
#define GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS 0x00000004

// With GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS: the module whose image holds the address given
// as moduleName. Windows behaviour reproduced: a reference is counted (ended with FreeLibrary)
// unless GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT is set; an address in no module fails
// with ERROR_MOD_NOT_FOUND and stores null. Differences: only the form by address (other
// flags fail with ERROR_INVALID_PARAMETER); the executable itself is not found by address.
WIN32_API BOOL WINAPI GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* module);
