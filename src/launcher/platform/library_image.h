// Whether a library file beside the launcher is a 64-bit image of the platform's own format:
// library_image_posix.cpp reads an ELF header, library_image_win.cpp a PE header.
#pragma once

#include <windows.h>

namespace launcher {

// True when the file is a 64-bit library image: on Windows a PE image for x64 or IA-64, on
// other platforms an ELF image of class ELFCLASS64 for a 64-bit machine.
bool Is64BitImage(LPCWSTR path);

} // namespace launcher
