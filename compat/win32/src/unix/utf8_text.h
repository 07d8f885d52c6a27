// UTF-16 <-> the bytes of POSIX names for the platform layer's own use: paths, environment
// text and the command line go to and come from the system as bytes that are normally UTF-8.
// A name need not be UTF-8, so both directions are lossless for what the system gives: each
// byte that is not part of a valid UTF-8 sequence becomes the lone surrogate U+DC80..U+DCFF
// (U+DC00 + byte) and goes back to that byte. Internal to the layer; not exported.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32compat {

// The NUL-terminated UTF-16 text as system bytes; empty for a null pointer or empty text.
// Valid text becomes UTF-8, a lone U+DC80..U+DCFF the byte it stands for, and any other
// unpaired surrogate U+FFFD.
std::string ToSystemBytes(LPCWSTR text);

// The system bytes (embedded NULs included) as UTF-16: valid UTF-8 decoded, every other byte
// escaped as U+DC00 + byte. ToSystemBytes(FromSystemBytes(b)) == b for any bytes without NUL.
std::u16string FromSystemBytes(std::string_view bytes);

} // namespace win32compat
