#include "message/body_file_reader.h"

#include <new>

namespace SMTPClientNS {

namespace {

// Closes the handle when the read ends, whichever way it ends.
struct FileCloser {
    HANDLE file;
    ~FileCloser() { CloseHandle(file); }
};

} // namespace

std::unique_ptr<char[]> ReadBodyFile(const WCHAR* path) {
    if (!path)
        return nullptr;
    const HANDLE file =
        CreateFileW(path, GENERIC_READ, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE)
        return nullptr;
    const FileCloser closer{file};

    LARGE_INTEGER size;
    if (!GetFileSizeEx(file, &size) || size.u.HighPart != 0)
        return nullptr;
    const DWORD byteCount = size.u.LowPart;
    std::unique_ptr<char[]> buffer(new (std::nothrow) char[size_t(byteCount) + 1]());
    if (!buffer)
        return nullptr;
    DWORD read = 0;
    if (!ReadFile(file, buffer.get(), byteCount, &read, nullptr))
        return nullptr;
    return buffer;
}

} // namespace SMTPClientNS
