// larkmail-send on Windows: the wide command line and environment, converted to UTF-8 once so
// that the option parser and everything after it is the same as on POSIX. libcurl is linked
// into Larkmail.dll only, so the tool has no libcurl of its own to ask for a version.
#include "host_text.h"
#include "tool_platform.h"

#include <windows.h>

#include <cstdlib>
#include <vector>

std::string LibcurlVersion() {
    return "libcurl: linked into Larkmail.dll";
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const std::wstring wideName = larkhost::WideText(name);
    std::wstring value(256, L'\0');
    for (;;) {
        const DWORD n =
            GetEnvironmentVariableW(wideName.c_str(), value.data(), DWORD(value.size()));
        if (n == 0)
            return std::nullopt;
        if (n < value.size()) {
            value.resize(n);
            return larkhost::Utf8(value.c_str());
        }
        value.resize(n);
    }
}

// Through the C runtime, which the library shares and whose getenv it reads; the runtime
// passes the change on to the process environment.
void SetEnvironmentValue(const char* name, const std::string& value) {
    _wputenv_s(larkhost::WideText(name).c_str(), larkhost::WideText(value).c_str());
}

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> arguments;
    for (int i = 0; i < argc; ++i)
        arguments.push_back(larkhost::Utf8(argv[i]));
    std::vector<char*> pointers;
    for (std::string& argument : arguments)
        pointers.push_back(argument.data());
    pointers.push_back(nullptr);
    // Output is UTF-8; a console shows it as such while the tool runs.
    const UINT savedCodePage = GetConsoleOutputCP();
    if (savedCodePage)
        SetConsoleOutputCP(CP_UTF8);
    const int status = RunLarkmailSend(argc, pointers.data());
    if (savedCodePage)
        SetConsoleOutputCP(savedCodePage);
    return status;
}
