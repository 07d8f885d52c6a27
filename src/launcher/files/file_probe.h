// File questions the launcher asks about files named by UTF-16 paths: does a path exist, and
// reading bytes of a file at a position. The questions whose answer depends on the platform
// (is a library image 64-bit, the bytes of a small file) are in platform/.
#pragma once

#include <windows.h>

#include <cstdint>

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

} // namespace launcher
