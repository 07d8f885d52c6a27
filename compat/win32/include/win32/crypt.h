// CryptoAPI base64 encoding (CryptBinaryToStringA).
#pragma once

#include "types.h"

#define CRYPT_STRING_BASE64 0x00000001
#define CRYPT_STRING_NOCRLF 0x40000000
#define CRYPT_STRING_NOCR 0x80000000

// Windows behaviour reproduced for CRYPT_STRING_BASE64: standard base64 with '=' padding,
// lines of 64 characters each ended by CR LF (the last one too), by LF alone with
// CRYPT_STRING_NOCR, and one unbroken line with CRYPT_STRING_NOCRLF.
// Sizes: with a null output *size receives the characters needed INCLUDING the terminator and
// the call succeeds. With an output, *size is its capacity; on success the text and a
// terminator are written and *size receives the length WITHOUT the terminator; when the text
// and terminator do not fit the call fails with ERROR_MORE_DATA and *size receives the size
// needed including the terminator.
// Null data or a null size pointer give FALSE with ERROR_INVALID_PARAMETER; zero bytes encode
// to the empty text.
// Differences: only the base64 format is implemented; other formats fail with
// ERROR_INVALID_PARAMETER.
WIN32_API BOOL WINAPI CryptBinaryToStringA(const BYTE* binary, DWORD binarySize, DWORD flags,
                                           LPSTR text, DWORD* size);
