// The launcher's string of system text: UTF-16 units of the platform's WCHAR (wchar_t on
// Windows, char16_t elsewhere), so that its c_str() passes straight to the wide API.
#pragma once

#include <windows.h>

#include <string>

// Against the real <windows.h>, TEXT literals are wide only when UNICODE is defined.
static_assert(sizeof(*TEXT("")) == sizeof(WCHAR),
              "the launcher uses the wide Win32 API: build with -DUNICODE -D_UNICODE");

namespace launcher {

using WideString = std::basic_string<WCHAR>;

} // namespace launcher
