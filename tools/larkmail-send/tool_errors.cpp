#include "tool_errors.h"

#include "tool_platform.h"

namespace {
FILE* toolErrors = nullptr;
}

FILE* ToolErrors() {
    return toolErrors ? toolErrors : stderr;
}

void SilenceStderr() {
    if (!toolErrors)
        toolErrors = DivertStandardError();
}

void ReportProblem(const char* program, const std::string& message) {
    std::fprintf(ToolErrors(), "%s: %s\n", program, message.c_str());
}
