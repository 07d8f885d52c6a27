// package-app on Windows: the wide command line, so that any file name reaches the tool, and
// file names handed to the wide file functions.
#include "package_app.h"

#include "utf_codec.h"

#include <windows.h>

#include <system_error>

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
        args.push_back(utf::Utf16ToUtf8(argv[i]));
    return package_app::PackageApp(args);
}
