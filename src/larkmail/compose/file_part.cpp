#include "compose/file_part.h"

#include "platform/path_separators.h"

#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <memory>
#include <new>

namespace SMTPClientNS {

namespace {

// What libcurl takes from a read callback as a failed read: the value it gets itself from a
// file part whose file cannot be opened, reported as CURLE_READ_ERROR.
const size_t kReadFailed = size_t(-1);

// libcurl's encoders ask for a few hundred bytes at a time: the file is read in pieces of this
// size, not with a system call per request.
const DWORD kReadPiece = 64 * 1024;

// The platform layer's CreateFileW opens regular files only, as Windows opens no folder
// without backup semantics.
HANDLE OpenToSend(const WCHAR* path) {
    return CreateFileW(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                       OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}

struct FileSource {
    WideString path;
    HANDLE file = INVALID_HANDLE_VALUE;
    bool finished = false; // read to its end: nothing more until a seek
    // The piece read last (allocated at the first read, freed at the end) and the part of it
    // not yet handed over.
    std::unique_ptr<char[]> piece;
    size_t start = 0;
    size_t end = 0;

    bool Open() {
        if (file == INVALID_HANDLE_VALUE)
            file = OpenToSend(path.c_str());
        return file != INVALID_HANDLE_VALUE;
    }
    void Close() {
        if (file != INVALID_HANDLE_VALUE)
            CloseHandle(file);
        file = INVALID_HANDLE_VALUE;
        piece.reset();
        start = end = 0;
    }
    // Reads the next piece; false on failure. At the end of the file the piece is empty.
    bool ReadPiece() {
        if (!Open())
            return false;
        if (!piece)
            piece.reset(new (std::nothrow) char[kReadPiece]);
        DWORD read = 0;
        if (!piece || !ReadFile(file, piece.get(), kReadPiece, &read, nullptr))
            return false;
        start = 0;
        end = read;
        return true;
    }
};

size_t ReadFilePart(char* buffer, size_t size, size_t count, void* source) {
    FileSource* file = static_cast<FileSource*>(source);
    if (file->finished)
        return 0;
    if (file->start == file->end && !file->ReadPiece()) {
        file->Close();
        return kReadFailed;
    }
    if (file->start == file->end) {
        file->Close();
        file->finished = true;
        return 0;
    }
    const size_t handed = std::min(size * count, file->end - file->start);
    std::memcpy(buffer, file->piece.get() + file->start, handed);
    file->start += handed;
    return handed;
}

int SeekFilePart(void* source, curl_off_t offset, int origin) {
    FileSource* file = static_cast<FileSource*>(source);
    if (origin != SEEK_SET || offset < 0)
        return CURL_SEEKFUNC_CANTSEEK;
    file->finished = false;
    file->start = file->end = 0;
    // A file not yet opened (or closed at its end) is read from its start.
    if (offset == 0 && file->file == INVALID_HANDLE_VALUE)
        return CURL_SEEKFUNC_OK;
    if (!file->Open())
        return CURL_SEEKFUNC_FAIL;
    LONG high = LONG(uint64_t(offset) >> 32);
    const DWORD low =
        SetFilePointer(file->file, LONG(uint64_t(offset) & 0xFFFFFFFFu), &high, FILE_BEGIN);
    if (low == INVALID_SET_FILE_POINTER && GetLastError() != ERROR_SUCCESS)
        return CURL_SEEKFUNC_FAIL;
    return CURL_SEEKFUNC_OK;
}

void FreeFilePart(void* source) {
    FileSource* file = static_cast<FileSource*>(source);
    file->Close();
    delete file;
}

// The file's size, or -1 (unknown to the transfer) when it cannot be told now.
curl_off_t FileSize(const WCHAR* path) {
    const HANDLE file = OpenToSend(path);
    if (file == INVALID_HANDLE_VALUE)
        return -1;
    LARGE_INTEGER size;
    const bool known = GetFileSizeEx(file, &size) != 0;
    CloseHandle(file);
    return known ? curl_off_t(size.QuadPart) : -1;
}

} // namespace

void SetFilePartData(curl_mimepart* part, const WCHAR* path) {
    std::unique_ptr<FileSource> source(new FileSource);
    source->path = path;
    // The part owns the source from here: libcurl frees it with FreeFilePart.
    if (curl_mime_data_cb(part, FileSize(path), ReadFilePart, SeekFilePart, FreeFilePart,
                          source.get()) == CURLE_OK)
        source.release();
}

bool IsReadableRegularFile(const WCHAR* path) {
    const HANDLE file = OpenToSend(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}

std::string AttachmentFileName(const WCHAR* path) {
    WideString name = path;
    name.erase(0, LastComponentStart(name));
    name.erase(
        std::remove_if(name.begin(), name.end(), [](WCHAR c) { return c < 0x20 || c == 0x7F; }),
        name.end());
    return Utf8Text(name.c_str());
}

} // namespace SMTPClientNS
