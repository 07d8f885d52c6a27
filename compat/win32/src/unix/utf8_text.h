// UTF-16 <-> UTF-8 for the platform layer's own use: paths and environment text go to and come
// from the system as UTF-8. Internal to the layer; not exported.
#pragma once

#include <windows.h>

#include <string>
#include <string_view>

namespace win32compat {

// The NUL-terminated UTF-16 text as UTF-8; empty for a null pointer or empty text. Unpaired
// surrogates become U+FFFD, as in WideCharToMultiByte.
std::string ToUtf8(LPCWSTR text);

// The UTF-8 bytes (embedded NULs included) as UTF-16; invalid sequences become U+FFFD, as in
// MultiByteToWideChar.
std::u16string ToUtf16(std::string_view text);

} // namespace win32compat
