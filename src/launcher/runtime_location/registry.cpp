// Bounded string reads from HKEY_LOCAL_MACHINE.
#include "runtime_location/registry.h"

#include <algorithm>
#include <vector>

namespace launcher {

void ReadRegistryString(LPCWSTR key, LPCWSTR value, WCHAR* buffer, DWORD bytes) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) !=
        ERROR_SUCCESS)
        return;
    std::vector<WCHAR> data(bytes / sizeof(WCHAR) + 1, 0);
    DWORD size = bytes;
    if (RegQueryValueExW(opened, value, nullptr, nullptr, reinterpret_cast<LPBYTE>(data.data()),
                         &size) == ERROR_SUCCESS)
        std::copy(data.begin(), data.end() - 1, buffer);
    RegCloseKey(opened);
}

} // namespace launcher
