// main() for programs written with the Windows graphical entry point wWinMain.
#include <windows.h>

namespace {

// The command line without the program name, as Windows passes it to wWinMain.
LPWSTR ArgumentsOf(LPWSTR line) {
    if (*line == u'"') {
        ++line;
        while (*line && *line != u'"')
            ++line;
        if (*line)
            ++line;
    } else {
        while (*line && *line != u' ' && *line != u'\t')
            ++line;
    }
    while (*line == u' ' || *line == u'\t')
        ++line;
    return line;
}

} // namespace

int main() {
    return wWinMain(GetModuleHandleW(nullptr), nullptr, ArgumentsOf(GetCommandLineW()),
                    SW_SHOWDEFAULT);
}
