// package-app on Windows: the wide command line, so that any file name reaches the tool, and
// file names handed to the wide file functions.
#include "package_app.h"

#include <windows.h>

#include <system_error>

namespace {

std::string Utf8(const wchar_t* text) {
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (n <= 1)
        return {};
    std::string out(static_cast<size_t>(n), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), n, nullptr, nullptr);
    out.resize(static_cast<size_t>(n - 1));
    return out;
}

} // namespace

namespace package_app {

std::filesystem::path FilePath(const std::string& utf8) {
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// The system's own copy: mingw's std::filesystem::copy_file refuses to replace a file on the
// same drive (error 17, "File exists") even with overwrite_existing, so a second packaging
// onto the same output failed.
bool CopyLauncher(const std::string& launcher, const std::string& output, std::string& failure) {
    if (CopyFileW(FilePath(launcher).c_str(), FilePath(output).c_str(), FALSE))
        return true;
    failure = std::system_category().message(static_cast<int>(GetLastError()));
    return false;
}

} // namespace package_app

int wmain(int argc, wchar_t** argv) {
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i)
        args.push_back(Utf8(argv[i]));
    return package_app::PackageApp(args);
}
