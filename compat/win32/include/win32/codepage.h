// Code-page conversion between UTF-16 and multi-byte text.
// The ANSI code page (CP_ACP) on this platform is UTF-8, as on Windows with the UTF-8
// system locale. Only CP_ACP and CP_UTF8 are supported.
#pragma once

#include "types.h"

#define CP_ACP 0
#define CP_UTF8 65001

#define MB_ERR_INVALID_CHARS 0x00000008
#define WC_ERR_INVALID_CHARS 0x00000080

// Windows behaviour reproduced:
// - cbMultiByte / cchWideChar of -1 means NUL-terminated input; the terminator is converted
//   and counted. 0 is an invalid parameter.
// - With a zero output size the call returns the size needed and writes nothing.
// - An output buffer that is too small gives 0 with ERROR_INSUFFICIENT_BUFFER.
// - Without MB_ERR_INVALID_CHARS an invalid UTF-8 sequence becomes U+FFFD; with it the call
//   fails with ERROR_NO_UNICODE_TRANSLATION. An unpaired surrogate becomes U+FFFD in UTF-8.
// - For CP_UTF8 the default-character arguments of WideCharToMultiByte must be null.
// Differences: any code page other than CP_ACP and CP_UTF8 fails with ERROR_INVALID_PARAMETER.
WIN32_API int WINAPI MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR multiByte,
                                         int cbMultiByte, LPWSTR wideChar, int cchWideChar);
WIN32_API int WINAPI WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR wideChar,
                                         int cchWideChar, LPSTR multiByte, int cbMultiByte,
                                         LPCSTR defaultChar, LPBOOL usedDefaultChar);
