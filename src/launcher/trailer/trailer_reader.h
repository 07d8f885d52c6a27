// The packaging trailer at the end of an application's copy of the launcher: 512 bytes in
// front of the certificate table (or at the very end of an unsigned file), beginning with
// "TRL*" and holding "PCA*" or "PSA*" at offset 8, compared without regard to ASCII case.
#pragma once

#include <windows.h>

namespace launcher {

// Whether the running launcher's own file carries the trailer.
bool HasLauncherTrailer();

// Whether the named file carries the trailer; false when it cannot be read.
bool FileHasLauncherTrailer(LPCWSTR fileName);

} // namespace launcher
