// Reads a file whose content becomes a message body.
#pragma once

#include <windows.h>

#include <memory>

namespace SMTPClientNS {

// Opens the file for reading without sharing (only if it exists), reads all of it into a
// zero-filled buffer one byte longer than the file, and returns the buffer, a NUL-terminated
// narrow string that ends at the file's first zero byte. Returns null when the path is null or
// the file cannot be opened, sized or read, when memory runs out, and for files of 4 GiB or
// more: their size does not fit the 32-bit byte count, and loading only part of them would
// silently cut the body, so they are refused like an unreadable file.
std::unique_ptr<char[]> ReadBodyFile(const WCHAR* path);

} // namespace SMTPClientNS
