// The 64-bit test for PE images: the machine field of the file header that the DOS header
// points to.
#include "platform/library_image.h"

#include "files/file_probe.h"
#include "files/little_endian.h"

namespace launcher {

bool Is64BitImage(LPCWSTR path) {
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    bool is64 = false;
    unsigned char dos[64];
    unsigned char fileHeader[20];
    if (ReadAt(file, 0, From::Start, dos, sizeof dos)) {
        const uint32_t ntOffset = ReadLe32(dos + 60);
        // The file header follows the 4-byte "PE\0\0" signature.
        if (ReadAt(file, uint64_t{ntOffset} + 4, From::Start, fileHeader, sizeof fileHeader)) {
            const uint16_t machine = ReadLe16(fileHeader);
            is64 = machine == 0x0200 /*IA-64*/ || machine == 0x8664 /*x64*/;
        }
    }
    CloseHandle(file);
    return is64;
}

} // namespace launcher
