// Reads the trailer marks, measuring the certificate table from the file's PE headers when
// it has them (an ELF launcher has none, so its certificate size is 0).
#include "trailer_reader.h"

#include "file_probe.h"

#include <cstdint>
#include <cstdio>

namespace launcher {

namespace {

constexpr uint64_t kTrailerSize = 512;
constexpr uint64_t kSecondMarkOffset = 8;

uint32_t ReadLe32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

bool ReadAt(FILE* file, uint64_t offset, unsigned char* out, size_t size) {
    if (offset > INT64_MAX || fseeko(file, static_cast<off_t>(offset), SEEK_SET) != 0)
        return false;
    return std::fread(out, 1, size, file) == size;
}

bool SameMarkIgnoringCase(const unsigned char* bytes, const char* mark) {
    for (int i = 0; i < 4; ++i) {
        auto lower = [](int c) { return (c >= 'A' && c <= 'Z') ? c + ('a' - 'A') : c; };
        if (lower(bytes[i]) != lower(static_cast<unsigned char>(mark[i])))
            return false;
    }
    return true;
}

// Size of the certificate table (data-directory entry 4 of the 64-bit optional header);
// 0 unless the DOS header, the NT-header offset and the "PE\0\0" signature all check out.
uint64_t CertificateTableSize(FILE* file) {
    unsigned char dos[64];
    if (!ReadAt(file, 0, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return 0;
    unsigned char nt[264];
    if (!ReadAt(file, ReadLe32(dos + 60), nt, sizeof nt) || nt[0] != 'P' || nt[1] != 'E' ||
        nt[2] != 0 || nt[3] != 0)
        return 0;
    return ReadLe32(nt + 172);
}

} // namespace

bool FileHasLauncherTrailer(LPCWSTR fileName) {
    FILE* file = OpenForReading(fileName, false);
    if (!file)
        return false;
    bool found = false;
    const uint64_t certificateSize = CertificateTableSize(file);
    if (fseeko(file, 0, SEEK_END) == 0) {
        const off_t end = ftello(file);
        const uint64_t size = end > 0 ? static_cast<uint64_t>(end) : 0;
        // Positions are 64-bit: a trailer that would start before the file's beginning is
        // simply not there.
        if (kTrailerSize + certificateSize <= size) {
            const uint64_t start = size - certificateSize - kTrailerSize;
            unsigned char first[8];
            unsigned char second[4];
            found = ReadAt(file, start, first, sizeof first) &&
                    SameMarkIgnoringCase(first, "TRL*") &&
                    ReadAt(file, start + kSecondMarkOffset, second, sizeof second) &&
                    (SameMarkIgnoringCase(second, "PCA*") || SameMarkIgnoringCase(second, "PSA*"));
        }
    }
    std::fclose(file);
    return found;
}

bool HasLauncherTrailer() {
    WCHAR fileName[520] = {};
    const DWORD length = GetModuleFileNameW(nullptr, fileName, 520);
    if (length == 0 || length >= 520)
        return false;
    return FileHasLauncherTrailer(fileName);
}

} // namespace launcher
