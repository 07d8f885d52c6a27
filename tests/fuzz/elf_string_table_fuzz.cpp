// The string table reader behind LoadStringW: any bytes as the module's ELF file.
#include "string_table.h"

#include <cstdint>
#include <sstream>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    const std::vector<char> table = win32compat::ReadElfSection(in, ".win32strings");
    if (table.size() > size)
        __builtin_trap(); // a section never holds more than the file
    for (UINT id : {1005u, 7u, 0u})
        if (win32compat::FindTableString(table, id).size() * 2 > table.size())
            __builtin_trap();
    // The table format alone, without an ELF file around it.
    const std::vector<char> raw(data, data + size);
    win32compat::FindTableString(raw, 1005);
    return 0;
}
