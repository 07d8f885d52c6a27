// The regedit export parser behind HKEY_LOCAL_MACHINE: any bytes, both encodings.
#include "registry_file.h"

#include <cstdint>
#include <cstring>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    for (const char16_t* key : {u"software\\meridot\\corvane runtime", u"k", u""}) {
        win32compat::RegistryValues values;
        win32compat::ReadRegistryKey(bytes, key, values);
        for (const auto& [name, value] : values) {
            if (value.type == REG_SZ &&
                (value.data.size() < 2 || value.data.size() % 2 != 0 ||
                 value.data[value.data.size() - 1] != 0 || value.data[value.data.size() - 2] != 0))
                __builtin_trap(); // a string value always carries its terminator
            if (value.type == REG_DWORD && value.data.size() != sizeof(DWORD))
                __builtin_trap();
        }
    }
    return 0;
}
