#include "tool_errors.h"

#include <fcntl.h>
#include <unistd.h>

namespace {
FILE* toolErrors = nullptr;
}

FILE* ToolErrors() {
    return toolErrors ? toolErrors : stderr;
}

void SilenceStderr() {
    if (toolErrors)
        return;
    std::fflush(stderr);
    const int null = open("/dev/null", O_WRONLY | O_CLOEXEC);
    if (null < 0)
        return;
    const int saved = fcntl(STDERR_FILENO, F_DUPFD_CLOEXEC, 0);
    if (saved >= 0 && (toolErrors = fdopen(saved, "w")) != nullptr) {
        setvbuf(toolErrors, nullptr, _IONBF, 0);
        dup2(null, STDERR_FILENO);
    } else if (saved >= 0) {
        close(saved);
    }
    close(null);
}

void ReportProblem(const char* program, const std::string& message) {
    std::fprintf(ToolErrors(), "%s: %s\n", program, message.c_str());
}
