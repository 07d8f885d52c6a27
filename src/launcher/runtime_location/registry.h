// The registry keys the launcher reads, all under HKEY_LOCAL_MACHINE in the 64-bit view.
#pragma once

#include <windows.h>

namespace launcher {

// The development environment: values "Location" and "IPS Name".
inline constexpr const WCHAR* kDevelopmentKey = TEXT("Software\\Meridot\\Corvane\\22.0");
// The runtime installations: value "RuntimeVersion", and one sub-key per version with the
// value "Location".
inline constexpr const WCHAR* kRuntimeKey = TEXT("Software\\Meridot\\Corvane Runtime");
inline constexpr WCHAR kRegistryKeySeparator = TEXT('\\');
// The bound of the "Location" and "IPS Name" values (129 characters and the terminator).
inline constexpr DWORD kRegistryStringBytes = 260;

// Reads a string value into buffer, bounded to `bytes`; leaves the buffer untouched when the
// key or value is absent or does not fit.
void ReadRegistryString(LPCWSTR key, LPCWSTR value, WCHAR* buffer, DWORD bytes);

} // namespace launcher
