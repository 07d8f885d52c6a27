// Process environment and command line.
#pragma once

#include "types.h"

// Windows behaviour reproduced:
// - Names are compared without regard to case ("path", "Path" and "PATH" are one variable).
// - GetEnvironmentVariableW returns the value's length without the terminator when it fits
//   size, otherwise the size needed including the terminator (buffer left unchanged); 0 with
//   ERROR_ENVVAR_NOT_FOUND when the variable does not exist.
// - SetEnvironmentVariableW with a null value removes the variable; a name that is empty or
//   holds '=' fails with ERROR_INVALID_PARAMETER.
// Mapping onto the POSIX environment (whose names are case-sensitive): a lookup takes the
// variable spelled exactly as asked when there is one, otherwise the first variable in the
// environment whose name matches without regard to ASCII letter case. A write updates that
// same variable under its existing spelling (so "path" writes PATH), or creates the name as
// given. Names and values are system bytes as described for CreateFileW (UTF-8, with bytes
// that are not UTF-8 as U+DC80..U+DCFF both ways). Difference: only ASCII letters fold; Windows
// folds every letter.
WIN32_API DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size);
WIN32_API BOOL WINAPI SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value);

// The process command line as Windows hands it to a program started from a shell: the
// program path (argv[0]) in double quotes, then each argument after one blank, in double
// quotes when it is empty or holds blanks, tabs or quotes, with quotes and the backslashes
// in front of them escaped by the rules of CommandLineToArgvW. Built from
// /proc/self/cmdline once; the pointer stays valid for the life of the process.
WIN32_API LPWSTR WINAPI GetCommandLineW(void);
