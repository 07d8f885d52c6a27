// The CV_LAUNCHER_TRACE switch and its lines on standard error.
#include "trace.h"

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

std::string ToUtf8(LPCWSTR text) {
    if (!text)
        return {};
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 0)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

} // namespace

void Trace(LPCWSTR what, LPCWSTR detail) {
    if (!TraceEnabled())
        return;
    const std::string line = "launcher: " + ToUtf8(what) + ": " + ToUtf8(detail) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace launcher
