// Existence, reading and word-size tests for files named by UTF-16 paths, through the file
// functions of the Win32 API.
#include "files/file_probe.h"

#ifdef _WIN32
#include <cstdio>
#endif

namespace launcher {

namespace {

uint16_t ReadLe16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

} // namespace

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

bool Is64BitImage(LPCWSTR path) {
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool is64 = false;
#ifdef _WIN32
    unsigned char dos[64];
    unsigned char fileHeader[20];
    if (ReadAt(file, 0, From::Start, dos, sizeof dos)) {
        const uint32_t ntOffset =
            dos[60] | (dos[61] << 8) | (dos[62] << 16) | (static_cast<uint32_t>(dos[63]) << 24);
        if (ReadAt(file, uint64_t{ntOffset} + 4, From::Start, fileHeader, sizeof fileHeader)) {
            const uint16_t machine = ReadLe16(fileHeader);
            is64 = machine == 0x0200 || machine == 0x8664;
        }
    }
#else
    // e_ident (16 bytes), e_type (2), e_machine (2); the machine is read as little-endian,
    // which is what every 64-bit machine listed here uses with ELFDATA2LSB.
    unsigned char header[20];
    if (ReadAt(file, 0, From::Start, header, sizeof header) && header[0] == 0x7F &&
        header[1] == 'E' && header[2] == 'L' && header[3] == 'F' && header[4] == 2 /*CLASS64*/ &&
        header[5] == 1 /*LSB*/) {
        const uint16_t machine = ReadLe16(header + 18);
        // x86-64, AArch64, IA-64, PowerPC64, RISC-V, LoongArch.
        is64 = machine == 62 || machine == 183 || machine == 50 || machine == 21 ||
               machine == 243 || machine == 258;
    }
#endif
    CloseHandle(file);
    return is64;
}

bool ReadSmallFile(LPCWSTR path, long maxBytes, std::vector<char>& bytes) {
    bytes.clear();
    if (!path || !*path)
        return false;
#ifdef _WIN32
    // Text mode: carriage-return/line-feed pairs arrive as line feeds, Ctrl-Z ends the read.
    FILE* file = _wfopen(path, L"r");
    if (!file)
        return false;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= maxBytes && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.assign(static_cast<size_t>(size), 0);
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        }
    }
    std::fclose(file);
#else
    // No text mode here: the bytes arrive as they are stored.
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    LARGE_INTEGER size{};
    if (GetFileSizeEx(file, &size) && size.QuadPart > 0 && size.QuadPart <= maxBytes) {
        bytes.assign(static_cast<size_t>(size.QuadPart), 0);
        // Like fread, a read that fails part way keeps what arrived.
        DWORD read = 0;
        ReadFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &read, nullptr);
        bytes.resize(read);
    }
    CloseHandle(file);
#endif
    return !bytes.empty();
}

} // namespace launcher
