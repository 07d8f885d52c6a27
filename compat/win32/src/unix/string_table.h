// String resources on Linux: a section of the module's own ELF file holding entries of
// string id (u32 little-endian), length in UTF-16 units (u32 LE) and the UTF-16LE units.
// Internal to the layer.
#pragma once

#include <windows.h>

#include <istream>
#include <string>
#include <vector>

namespace win32compat {

// The bytes of the named section of a 64-bit little-endian ELF file read from in; empty when
// the file, its headers or the section are missing or damaged.
std::vector<char> ReadElfSection(std::istream& in, const char* sectionName);

// The text of the last entry with this id; empty when there is none. An entry running past
// the end of the table ends the search.
std::u16string FindTableString(const std::vector<char>& table, UINT id);

} // namespace win32compat
