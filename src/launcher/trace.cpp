// The CV_LAUNCHER_TRACE switch and its lines on standard error.
#include "trace.h"

#include "utf_codec.h"

#include <cstdio>
#include <string>

namespace launcher {

namespace {

bool TraceEnabled() {
    char value[8] = {};
    size_t required = 0;
    return getenv_s(&required, value, sizeof value, "CV_LAUNCHER_TRACE") == 0 && required != 0 &&
           value[0] == '1' && value[1] == 0;
}

} // namespace

void Trace(LPCWSTR what, LPCWSTR detail) {
    if (!TraceEnabled())
        return;
    const std::string line =
        "launcher: " + utf::Utf16ToUtf8(what) + ": " + utf::Utf16ToUtf8(detail) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace launcher
