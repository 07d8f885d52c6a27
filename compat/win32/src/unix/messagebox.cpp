// MessageBoxW as one line on standard error.
#include <windows.h>

#include "utf8_text.h"

#include <cstdio>
#include <string>

namespace {

void AppendEscaped(std::string& line, LPCWSTR text) {
    for (const char c : win32compat::ToSystemBytes(text)) {
        if (c == '\r')
            line += "\\r";
        else if (c == '\n')
            line += "\\n";
        else if (c == '\\')
            line += "\\\\";
        else
            line += c;
    }
}

} // namespace

int WINAPI MessageBoxW(HWND, LPCWSTR text, LPCWSTR caption, UINT) {
    std::string line = "[";
    AppendEscaped(line, caption);
    line += "] ";
    AppendEscaped(line, text);
    line += '\n';
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
    return IDOK;
}
