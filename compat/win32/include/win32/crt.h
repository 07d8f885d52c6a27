// C runtime functions of the Windows CRT that glibc does not provide: the bounded
// environment read getenv_s and bounded wide formatting for 16-bit strings.
#pragma once

#include "types.h"
#include "wchar16.h"

#include <cstddef>

// Windows behaviour reproduced (C11 Annex K / MSVC CRT):
// - *required receives the size of the value including its terminator, or 0 when the
//   variable does not exist (the result is then 0 and the buffer, if any, is empty).
// - A buffer too small for the value returns ERANGE with *required set and an empty buffer.
// - A null required/name pointer, or a null buffer with a non-zero size, returns EINVAL.
// Difference: no invalid-parameter handler is called; the error code is returned.
WIN32_API errno_t getenv_s(size_t* required, char* buffer, size_t size, const char* name);

// Bounded formatted printing into a 16-bit buffer, as _snwprintf_s. Supported conversions:
// %s (a WCHAR string; a null pointer prints "(null)") and %%. The result is always
// NUL-terminated. count is the most characters to write, or _TRUNCATE for "what fits".
// Returns the number of characters written, or -1 when the output was cut: at count, or
// with _TRUNCATE at the buffer's end, the buffer holds what fit; output that does not fit
// the buffer without _TRUNCATE leaves it empty.
// Differences: other conversions are not supported and are copied literally.
WIN32_API int _snwprintf_s(WCHAR* buffer, size_t size, size_t count, const WCHAR* format, ...);
