// Message boxes (MessageBoxW).
#pragma once

#include "types.h"

#define MB_OK 0x00000000L
#define MB_ICONERROR 0x00000010L
#define MB_SYSTEMMODAL 0x00001000L
#define IDOK 1

// Windows shows a modal box and returns the button pressed. Here there is no desktop: the
// box becomes one line on standard error,
//     [<caption>] <text>
// in UTF-8 (U+DC80..U+DCFF as the bytes they stand for), where a CR, LF or backslash inside caption
// or text is written as the two characters \r, \n or \\ so that every box stays on one line. The
// call returns IDOK, as if OK had been pressed. Owner window and style are not used (the line shows
// no icon).
WIN32_API int WINAPI MessageBoxW(HWND owner, LPCWSTR text, LPCWSTR caption, UINT type);
