// The regedit export format that stands in for HKEY_LOCAL_MACHINE: first line "Windows
// Registry Editor Version 5.00" or "REGEDIT4", then [key] sections with "name"="text",
// "name"=dword:XXXXXXXX and @= lines; UTF-8 (an optional BOM is skipped, bytes that are not
// UTF-8 kept as U+DC80..U+DCFF) or UTF-16LE with BOM. Internal to the layer.
#pragma once

#include <windows.h>

#include <map>
#include <string>
#include <string_view>
#include <vector>

namespace win32compat {

struct RegistryValue {
    DWORD type = REG_NONE;
    std::vector<BYTE> data; // REG_SZ: UTF-16 with its terminator; REG_DWORD: 4 bytes
};

// Values by lower-case name.
using RegistryValues = std::map<std::u16string, RegistryValue>;

// Key and value names compare without regard to ASCII letter case: the folded form.
std::u16string FoldRegistryName(std::u16string text);

// Adds the values of the key at foldedPath (below HKEY_LOCAL_MACHINE, folded, without a
// trailing backslash) to values. False when the text holds neither the key nor a subkey of it.
bool ReadRegistryKey(std::string_view fileBytes, const std::u16string& foldedPath,
                     RegistryValues& values);

} // namespace win32compat
