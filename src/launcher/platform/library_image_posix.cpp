// The 64-bit test for ELF images.
#include "platform/library_image.h"

#include "files/file_probe.h"
#include "files/little_endian.h"

namespace launcher {

bool Is64BitImage(LPCWSTR path) {
    const HANDLE file = OpenForReading(path);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    // e_ident (16 bytes), e_type (2), e_machine (2); the machine is read as little-endian,
    // which is what every 64-bit machine listed here uses with ELFDATA2LSB.
    bool is64 = false;
    unsigned char header[20];
    if (ReadAt(file, 0, From::Start, header, sizeof header) && header[0] == 0x7F &&
        header[1] == 'E' && header[2] == 'L' && header[3] == 'F' && header[4] == 2 /*CLASS64*/ &&
        header[5] == 1 /*LSB*/) {
        const uint16_t machine = ReadLe16(header + 18);
        // x86-64, AArch64, IA-64, PowerPC64, RISC-V, LoongArch.
        is64 = machine == 62 || machine == 183 || machine == 50 || machine == 21 ||
               machine == 243 || machine == 258;
    }
    CloseHandle(file);
    return is64;
}

} // namespace launcher
