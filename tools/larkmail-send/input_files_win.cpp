// Input files on Windows: opened by their UTF-16 names (any name reaches the file, whatever
// the ANSI code page), checked with GetFileType, read with ReadFile.
#include "host_text.h"
#include "input_files.h"

#include <windows.h>

#include <system_error>

namespace {

// The same words as the POSIX side for the usual failures, the system's text otherwise.
std::string ErrorText(DWORD error) {
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_NAME:
        return "No such file or directory";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "Permission denied";
    default:
        return std::system_category().message(int(error));
    }
}

// Opens path for reading and checks its type; INVALID_HANDLE_VALUE on failure.
HANDLE OpenChecked(const std::string& path, bool pipesToo, std::string& error) {
    const std::wstring name = larkhost::WideText(path);
    const DWORD attributes = GetFileAttributesW(name.c_str());
    if (attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        error = InputFailure(path, "is a folder");
        return INVALID_HANDLE_VALUE;
    }
    const HANDLE file = CreateFileW(name.c_str(), GENERIC_READ,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr,
                                    OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        error = InputFailure(path, ErrorText(GetLastError()));
        return file;
    }
    const DWORD type = GetFileType(file);
    if (!(type == FILE_TYPE_DISK || (pipesToo && type == FILE_TYPE_PIPE))) {
        error = InputFailure(path, "not a regular file");
        CloseHandle(file);
        return INVALID_HANDLE_VALUE;
    }
    return file;
}

bool ReadAll(HANDLE file, const std::string& path, std::string& content, std::string& error) {
    content.clear();
    char buffer[65536];
    for (;;) {
        DWORD n = 0;
        if (!ReadFile(file, buffer, sizeof buffer, &n, nullptr)) {
            const DWORD why = GetLastError();
            if (why == ERROR_BROKEN_PIPE || why == ERROR_HANDLE_EOF)
                return true; // the writer closed its end
            error = InputFailure(path, ErrorText(why));
            return false;
        }
        if (n == 0)
            return true;
        content.append(buffer, n);
    }
}

// A console gives text, not bytes: read as UTF-16 and kept as UTF-8 like a file's content.
// Ctrl+Z at the start of a line ends the input, as for the system's own tools.
bool ReadConsoleText(HANDLE console, std::string& content) {
    std::wstring text;
    wchar_t buffer[4096];
    DWORD n = 0;
    while (ReadConsoleW(console, buffer, DWORD(sizeof buffer / sizeof *buffer), &n, nullptr) &&
           n > 0) {
        const std::wstring chunk(buffer, n);
        const size_t end = chunk.find(L'\x1a');
        text += chunk.substr(0, end);
        if (end != std::wstring::npos)
            break;
    }
    content = larkhost::Utf8(text.c_str());
    return true;
}

} // namespace

bool ReadInputFile(const std::string& path, std::string& content, std::string& error) {
    if (path == "-") {
        const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
        DWORD mode;
        if (GetFileType(input) == FILE_TYPE_CHAR && GetConsoleMode(input, &mode))
            return ReadConsoleText(input, content);
        return ReadAll(input, path, content, error);
    }
    const HANDLE file = OpenChecked(path, true, error);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    const bool ok = ReadAll(file, path, content, error);
    CloseHandle(file);
    return ok;
}

bool CheckReadableFile(const std::string& path, std::string& error) {
    const HANDLE file = OpenChecked(path, false, error);
    if (file == INVALID_HANDLE_VALUE)
        return false;
    CloseHandle(file);
    return true;
}
