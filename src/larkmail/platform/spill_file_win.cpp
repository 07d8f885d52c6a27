#include "platform/spill_file.h"

#include <windows.h>

#include <string>

namespace SMTPClientNS {

namespace {

HANDLE AsHandle(intptr_t handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

bool SpillFile::Open() {
    Close();
    WCHAR folder[MAX_PATH + 1];
    const DWORD length = GetTempPathW(MAX_PATH + 1, folder);
    if (length == 0 || length > MAX_PATH)
        return false;
    WCHAR path[MAX_PATH + 1];
    if (GetTempFileNameW(folder, L"lmt", 0, path) == 0)
        return false;
    // GetTempFileNameW created an empty file under that name: replace it with one that no other
    // handle may open and that goes when this handle is closed. The user's temporary folder
    // admits only its owner (and administrators).
    const HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                    FILE_ATTRIBUTE_TEMPORARY | FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        DeleteFileW(path);
        return false;
    }
    handle_ = reinterpret_cast<intptr_t>(file);
    open_ = true;
    return true;
}

bool SpillFile::Append(const char* data, size_t size) {
    if (!open_)
        return false;
    LARGE_INTEGER zero{};
    if (!SetFilePointerEx(AsHandle(handle_), zero, nullptr, FILE_END))
        return false;
    while (size > 0) {
        const DWORD piece = size > 0x40000000 ? 0x40000000 : DWORD(size);
        DWORD written = 0;
        if (!WriteFile(AsHandle(handle_), data, piece, &written, nullptr) || written == 0)
            return false;
        data += written;
        size -= written;
    }
    return true;
}

size_t SpillFile::ReadAt(uint64_t offset, char* buffer, size_t size) {
    if (!open_)
        return 0;
    LARGE_INTEGER position;
    position.QuadPart = LONGLONG(offset);
    if (!SetFilePointerEx(AsHandle(handle_), position, nullptr, FILE_BEGIN))
        return 0;
    const DWORD piece = size > 0x40000000 ? 0x40000000 : DWORD(size);
    DWORD got = 0;
    if (!ReadFile(AsHandle(handle_), buffer, piece, &got, nullptr))
        return 0;
    return got;
}

void SpillFile::Close() {
    if (!open_)
        return;
    CloseHandle(AsHandle(handle_));
    handle_ = -1;
    open_ = false;
}

} // namespace SMTPClientNS
