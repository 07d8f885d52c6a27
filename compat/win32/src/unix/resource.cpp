// LoadStringW from the string-table section of the module's own ELF file.
#include <windows.h>

#include "string_table.h"
#include "utf8_text.h"

#include <unistd.h>

#include <fstream>
#include <string>
#include <vector>

int WINAPI LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    if (!buffer || size <= 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    buffer[0] = 0;
    WCHAR widePath[4096] = {};
    const DWORD n = GetModuleFileNameW(instance, widePath, 4096);
    if (n == 0 || n >= 4096) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const std::string path = win32compat::ToSystemBytes(widePath);
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        SetLastError(access(path.c_str(), F_OK) == 0 ? ERROR_ACCESS_DENIED : ERROR_FILE_NOT_FOUND);
        return 0;
    }
    const std::u16string text = win32compat::FindTableString(
        win32compat::ReadElfSection(in, WIN32COMPAT_STRING_TABLE_SECTION), id);
    if (text.empty()) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return 0;
    }
    const size_t copied = text.size() < static_cast<size_t>(size) ? text.size() : size - 1;
    text.copy(buffer, copied);
    buffer[copied] = 0;
    return static_cast<int>(copied);
}
