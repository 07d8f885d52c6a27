// package-app on POSIX: arguments and file names are the system's bytes, taken as they are.
#include "package_app.h"

namespace package_app {

std::filesystem::path FilePath(const std::string& utf8) {
    return std::filesystem::path(utf8);
}

bool CopyLauncher(const std::string& launcher, const std::string& output, std::string& failure) {
    std::error_code error;
    std::filesystem::copy_file(FilePath(launcher), FilePath(output),
                               std::filesystem::copy_options::overwrite_existing, error);
    if (error)
        failure = error.message();
    return !error;
}

} // namespace package_app

int main(int argc, char** argv) {
    return package_app::PackageApp(std::vector<std::string>(argv + 1, argv + argc));
}
