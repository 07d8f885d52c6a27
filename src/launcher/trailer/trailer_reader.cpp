// Reads the trailer marks, measuring the certificate table from the file's PE headers when
// it has them (an ELF launcher has none, so its certificate size is 0).
#include "trailer/trailer_reader.h"

#include "files/file_probe.h"
#include "files/little_endian.h"

#include <cstdint>

namespace launcher {

namespace {

constexpr uint64_t kTrailerSize = 512;
constexpr uint64_t kSecondMarkOffset = 8;

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
uint64_t CertificateTableSize(HANDLE file) {
    unsigned char dos[64];
    if (!ReadAt(file, 0, From::Start, dos, sizeof dos) || dos[0] != 'M' || dos[1] != 'Z')
        return 0;
    unsigned char nt[264];
    if (!ReadAt(file, ReadLe32(dos + 60), From::Start, nt, sizeof nt) || nt[0] != 'P' ||
        nt[1] != 'E' || nt[2] != 0 || nt[3] != 0)
        return 0;
    return ReadLe32(nt + 172);
}

} // namespace

bool FileHasLauncherTrailer(LPCWSTR fileName) {
    const HANDLE file = OpenForReading(fileName);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // Offsets are counted back from the end and are 64-bit: a trailer that would start before
    // the file's beginning (a certificate size larger than the file) is simply not there.
    const uint64_t trailerFromEnd = kTrailerSize + CertificateTableSize(file);
    unsigned char first[8];
    unsigned char second[4];
    const bool found =
        ReadAt(file, trailerFromEnd, From::End, first, sizeof first) &&
        SameMarkIgnoringCase(first, "TRL*") &&
        ReadAt(file, trailerFromEnd - kSecondMarkOffset, From::End, second, sizeof second) &&
        (SameMarkIgnoringCase(second, "PCA*") || SameMarkIgnoringCase(second, "PSA*"));
    CloseHandle(file);
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
