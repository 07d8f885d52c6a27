// Standard error to NUL on Windows. The library writes its libcurl lines through the C
// runtime's descriptor 2, which it shares with the tool, so the runtime's descriptors are
// redirected, as on POSIX.
#include "tool_platform.h"

#include <fcntl.h>
#include <io.h>

FILE* DivertStandardError() {
    std::fflush(stderr);
    const int null = _open("NUL", _O_WRONLY | _O_NOINHERIT);
    if (null < 0)
        return nullptr;
    FILE* original = nullptr;
    const int saved = _dup(2);
    if (saved >= 0 && (original = _fdopen(saved, "w")) != nullptr) {
        setvbuf(original, nullptr, _IONBF, 0);
        _dup2(null, 2);
    } else if (saved >= 0) {
        _close(saved);
    }
    _close(null);
    return original;
}
