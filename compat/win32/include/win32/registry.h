// Read-only registry (HKEY_LOCAL_MACHINE) backed by a registry export file.
#pragma once

#include "types.h"

typedef DWORD REGSAM;
typedef LONG LSTATUS;

#define HKEY_LOCAL_MACHINE ((HKEY)(ULONG_PTR)((LONG)0x80000002))

#define KEY_QUERY_VALUE 0x0001
#define KEY_WOW64_64KEY 0x0100
#define KEY_READ 0x20019

#define REG_NONE 0
#define REG_SZ 1
#define REG_DWORD 4

// Where HKEY_LOCAL_MACHINE comes from: the file named by the environment variable
// WIN32COMPAT_REGISTRY_FILE, or /etc/win32compat/registry.reg when it is not set. The file
// is a regedit export ("Windows Registry Editor Version 5.00" or "REGEDIT4" on its first
// line), UTF-8 (an optional BOM is skipped) or UTF-16LE with BOM. Sections
// "[HKEY_LOCAL_MACHINE\...]" name keys; "name"="text" lines give REG_SZ values (with \\ and
// \" escapes), "name"=dword:XXXXXXXX REG_DWORD values, @= the default value; other value
// kinds and lines starting with ';' are skipped. A missing or unrecognised file is an empty
// registry. The file is read at every RegOpenKeyExW, so the key sees the file of that moment.
#define WIN32COMPAT_REGISTRY_FILE_VARIABLE "WIN32COMPAT_REGISTRY_FILE"
#define WIN32COMPAT_REGISTRY_DEFAULT_FILE "/etc/win32compat/registry.reg"

// Windows behaviour reproduced: key and value names compare without regard to case; a key
// exists when it or one of its subkeys is in the file; an absent key gives
// ERROR_FILE_NOT_FOUND. Differences: only HKEY_LOCAL_MACHINE and keys opened from it are
// valid roots; access rights and the registry view (KEY_WOW64_64KEY) are accepted and
// ignored (there is one view); only ASCII letters fold.
WIN32_API LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD options, REGSAM desired,
                                       PHKEY result);

// Windows behaviour reproduced: a null or empty name is the default value; an absent value
// gives ERROR_FILE_NOT_FOUND. *size is the buffer's size in bytes and receives the data's
// size (REG_SZ data includes its terminator). Null data with a size pointer asks for the
// size only; data that does not fit gives ERROR_MORE_DATA with the needed size and leaves
// the buffer unwritten.
WIN32_API LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD reserved,
                                          LPDWORD type, LPBYTE data, LPDWORD size);

WIN32_API LSTATUS WINAPI RegCloseKey(HKEY key);
