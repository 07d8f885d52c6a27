// Existence, opening and word-size tests for files named by UTF-16 paths.
#include "file_probe.h"

#include <cstdint>
#include <string>

#ifndef _WIN32
#include <sys/stat.h>
#endif

namespace launcher {

namespace {

uint16_t ReadLe16(const unsigned char* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}

#ifndef _WIN32
std::string ToUtf8(LPCWSTR text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}
#endif

} // namespace

bool PathExists(LPCWSTR path) {
    if (!path || !*path)
        return false;
#ifdef _WIN32
    return GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
#else
    struct stat st {};
    return stat(ToUtf8(path).c_str(), &st) == 0;
#endif
}

FILE* OpenForReading(LPCWSTR path, bool textMode) {
    if (!path || !*path)
        return nullptr;
#ifdef _WIN32
    return _wfopen(path, textMode ? L"r" : L"rb");
#else
    return std::fopen(ToUtf8(path).c_str(), textMode ? "r" : "rb");
#endif
}

bool Is64BitImage(LPCWSTR path) {
    FILE* file = OpenForReading(path, false);
    if (!file)
        return false;
    bool is64 = false;
#ifdef _WIN32
    unsigned char dos[64];
    unsigned char fileHeader[20];
    if (std::fread(dos, 1, sizeof dos, file) == sizeof dos) {
        const uint32_t ntOffset =
            dos[60] | (dos[61] << 8) | (dos[62] << 16) | (static_cast<uint32_t>(dos[63]) << 24);
        if (ntOffset <= 0x7FFFFFFB &&
            std::fseek(file, static_cast<long>(ntOffset) + 4, SEEK_SET) == 0 &&
            std::fread(fileHeader, 1, sizeof fileHeader, file) == sizeof fileHeader) {
            const uint16_t machine = ReadLe16(fileHeader);
            is64 = machine == 0x0200 || machine == 0x8664;
        }
    }
#else
    // e_ident (16 bytes), e_type (2), e_machine (2); the machine is read as little-endian,
    // which is what every 64-bit machine listed here uses with ELFDATA2LSB.
    unsigned char header[20];
    if (std::fread(header, 1, sizeof header, file) == sizeof header && header[0] == 0x7F &&
        header[1] == 'E' && header[2] == 'L' && header[3] == 'F' && header[4] == 2 /*CLASS64*/ &&
        header[5] == 1 /*LSB*/) {
        const uint16_t machine = ReadLe16(header + 18);
        // x86-64, AArch64, IA-64, PowerPC64, RISC-V, LoongArch.
        is64 = machine == 62 || machine == 183 || machine == 50 || machine == 21 ||
               machine == 243 || machine == 258;
    }
#endif
    std::fclose(file);
    return is64;
}

} // namespace launcher
