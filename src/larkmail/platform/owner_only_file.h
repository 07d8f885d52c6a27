// Creating files that may hold secrets: a file made new is readable and writable by its owner
// only; a file that exists keeps its permissions.
#pragma once

#include <windows.h>

namespace SMTPClientNS {

// CreateFileW with CREATE_ALWAYS (read and write access, share mode 0): creates the file or
// truncates the existing one. INVALID_HANDLE_VALUE on failure.
HANDLE CreateOwnerOnlyFile(const WCHAR* path);

} // namespace SMTPClientNS
