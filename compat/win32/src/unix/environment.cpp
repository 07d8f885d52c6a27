// Case-insensitive environment access over the POSIX environment, and the Windows-style
// command line built from the process's arguments.
#include <windows.h>

#include "utf8_text.h"

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <mutex>
#include <string>
#include <vector>

extern char** environ;

namespace {

using win32compat::FromSystemBytes;
using win32compat::ToSystemBytes;

bool SameNameIgnoringCase(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c + ('a' - 'A')) : c; };
        if (lower(a[i]) != lower(b[i]))
            return false;
    }
    return true;
}

// The POSIX spelling of a variable: the exact name if it exists, else the first name that
// matches without regard to case; empty when there is none.
std::string FindPosixName(const std::string& name) {
    if (std::getenv(name.c_str()))
        return name;
    for (char** entry = environ; entry && *entry; ++entry) {
        const std::string text(*entry);
        const size_t eq = text.find('=');
        if (eq != std::string::npos && SameNameIgnoringCase(text.substr(0, eq), name))
            return text.substr(0, eq);
    }
    return {};
}

bool IsValidName(const std::string& name) {
    return !name.empty() && name.find('=') == std::string::npos;
}

} // namespace

DWORD WINAPI GetEnvironmentVariableW(LPCWSTR name, LPWSTR buffer, DWORD size) {
    if (!name) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    const std::string narrowName = ToSystemBytes(name);
    const std::string posixName = IsValidName(narrowName) ? FindPosixName(narrowName) : "";
    const char* value = posixName.empty() ? nullptr : std::getenv(posixName.c_str());
    if (!value) {
        SetLastError(ERROR_ENVVAR_NOT_FOUND);
        return 0;
    }
    const std::u16string wide = FromSystemBytes(value);
    if (!buffer || wide.size() + 1 > size)
        return static_cast<DWORD>(wide.size() + 1);
    wide.copy(buffer, wide.size());
    buffer[wide.size()] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(wide.size());
}

BOOL WINAPI SetEnvironmentVariableW(LPCWSTR name, LPCWSTR value) {
    const std::string narrowName = name ? ToSystemBytes(name) : "";
    if (!IsValidName(narrowName)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string posixName = FindPosixName(narrowName);
    if (!value) {
        if (!posixName.empty())
            unsetenv(posixName.c_str());
        return TRUE;
    }
    if (posixName.empty())
        posixName = narrowName;
    if (setenv(posixName.c_str(), ToSystemBytes(value).c_str(), 1) != 0) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    return TRUE;
}

namespace {

// One argument quoted so that CommandLineToArgvW gives it back unchanged.
void AppendQuotedArgument(std::u16string& line, const std::u16string& arg, bool alwaysQuote) {
    if (!alwaysQuote && !arg.empty() && arg.find_first_of(u" \t\"") == std::u16string::npos) {
        line += arg;
        return;
    }
    line += u'"';
    size_t backslashes = 0;
    for (const char16_t c : arg) {
        if (c == u'\\') {
            ++backslashes;
            continue;
        }
        if (c == u'"')
            line.append(backslashes * 2 + 1, u'\\');
        else
            line.append(backslashes, u'\\');
        backslashes = 0;
        line += c;
    }
    line.append(backslashes * 2, u'\\');
    line += u'"';
}

std::u16string BuildCommandLine() {
    std::ifstream in("/proc/self/cmdline", std::ios::binary);
    const std::string raw((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    std::vector<std::string> args;
    size_t start = 0;
    while (start < raw.size()) {
        size_t end = raw.find('\0', start);
        if (end == std::string::npos)
            end = raw.size();
        args.push_back(raw.substr(start, end - start));
        start = end + 1;
    }
    std::u16string line;
    for (size_t i = 0; i < args.size(); ++i) {
        if (i > 0)
            line += u' ';
        AppendQuotedArgument(line, FromSystemBytes(args[i]), i == 0);
    }
    return line;
}

} // namespace

LPWSTR WINAPI GetCommandLineW(void) {
    static std::u16string line;
    static std::once_flag once;
    std::call_once(once, [] { line = BuildCommandLine(); });
    return line.data();
}
