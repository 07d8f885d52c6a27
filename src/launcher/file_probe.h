// File questions the launcher asks: does a path exist, is a library image 64-bit, and
// opening a file named by a UTF-16 path for reading.
#pragma once

#include <windows.h>

#include <cstdio>

namespace launcher {

// True when the path names an existing file or folder (a file-attribute query).
bool PathExists(LPCWSTR path);

// Opens the file for reading: untranslated bytes, or text mode where the platform has one.
FILE* OpenForReading(LPCWSTR path, bool textMode);

// True when the file is a 64-bit library image: on Windows a PE image for x64 or IA-64, on
// other platforms an ELF image of class ELFCLASS64 for a 64-bit machine.
bool Is64BitImage(LPCWSTR path);

} // namespace launcher
