// Existence and positioned reads for files named by UTF-16 paths, through the file functions
// of the Win32 API.
#include "files/file_probe.h"

namespace launcher {

bool PathExists(LPCWSTR path) {
    if (!path || !*path)
        return false;
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

HANDLE OpenForReading(LPCWSTR path) {
    if (!path || !*path)
        return INVALID_HANDLE_VALUE;
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

bool ReadAt(HANDLE file, uint64_t offset, From from, void* out, DWORD size) {
    if (offset > static_cast<uint64_t>(INT64_MAX))
        return false;
    const int64_t distance =
        from == From::End ? -static_cast<int64_t>(offset) : static_cast<int64_t>(offset);
    // The high part makes the distance 64-bit; a position before the start fails.
    LONG high = static_cast<LONG>(distance >> 32);
    const DWORD low = SetFilePointer(file, static_cast<LONG>(distance & 0xFFFFFFFF), &high,
                                     from == From::End ? FILE_END : FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        return false;
    DWORD read = 0;
    return ReadFile(file, out, size, &read, nullptr) && read == size;
}

} // namespace launcher
