// Standard error to /dev/null on POSIX, the original kept on a descriptor of its own.
#include "tool_platform.h"

#include <fcntl.h>
#include <unistd.h>

FILE* DivertStandardError() {
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return nullptr;
    FILE* original = nullptr;
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0 && (original = fdopen(saved, "w")) != nullptr) {
        setvbuf(original, nullptr, _IONBF, 0);
        dup2(null, STDERR_FILENO);
    } else if (saved >= 0) {
        close(saved);
    }
    close(null);
    return original;
}
