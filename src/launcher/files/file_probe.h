// File questions the launcher asks about files named by UTF-16 paths: does a path exist, is a
// library image 64-bit, and reading bytes of a file, at a position or all of a small one.
#pragma once

#include <windows.h>

#include <cstdint>
#include <vector>

namespace launcher {

// True when the path names an existing file or folder (a file-attribute query).
bool PathExists(LPCWSTR path);

// Opens an existing file for reading, sharing read access; INVALID_HANDLE_VALUE when it
// cannot be opened. The caller closes it with CloseHandle.
HANDLE OpenForReading(LPCWSTR path);

// Where ReadAt counts its offset from.
enum class From { Start, End };

// Reads exactly size bytes at offset bytes after the start or before the end of the file.
// Positions are 64-bit; a position before the start of the file, or fewer bytes than asked
// for, gives false.
bool ReadAt(HANDLE file, uint64_t offset, From from, void* out, DWORD size);

// True when the file is a 64-bit library image: on Windows a PE image for x64 or IA-64, on
// other platforms an ELF image of class ELFCLASS64 for a 64-bit machine.
bool Is64BitImage(LPCWSTR path);

// The bytes of a file of 1 to maxBytes bytes, read in text mode where the platform has one;
// false with no bytes when it cannot be opened, is empty or is larger.
bool ReadSmallFile(LPCWSTR path, long maxBytes, std::vector<char>& bytes);

} // namespace launcher
