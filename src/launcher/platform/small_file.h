// Reading a small file whole, the way the platform reads configuration text:
// small_file_posix.cpp takes the bytes as stored, small_file_win.cpp reads in the C
// library's text mode.
#pragma once

#include <windows.h>

#include <vector>

namespace launcher {

// The bytes of a file of 1 to maxBytes bytes, read in text mode where the platform has one;
// false with no bytes when it cannot be opened, is empty or is larger.
bool ReadSmallFile(LPCWSTR path, long maxBytes, std::vector<char>& bytes);

} // namespace launcher
