#include "platform/owner_only_file.h"

#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace SMTPClientNS {

namespace {

// The path as the system's bytes, or empty when it does not convert both ways unchanged.
std::string SystemPath(const WCHAR* path) {
    const int wideLength = int(wcslen(path));
    const int size =
        WideCharToMultiByte(CP_UTF8, 0, path, wideLength, nullptr, 0, nullptr, nullptr);
    if (size <= 0)
        return std::string();
    std::string bytes(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, path, wideLength, &bytes[0], size, nullptr, nullptr);
    const int back = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, nullptr, 0);
    if (back != wideLength)
        return std::string();
    std::basic_string<WCHAR> wide(size_t(back), WCHAR(0));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), size, &wide[0], back);
    return wide.compare(path) == 0 ? bytes : std::string();
}

} // namespace

HANDLE CreateOwnerOnlyFile(const WCHAR* path) {
    // A new file is made here with mode 0600 (the umask can only narrow it); an existing one
    // is left as it is and truncated below.
    const std::string bytes = SystemPath(path);
    if (!bytes.empty()) {
        const int fd =
            open(bytes.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOCTTY, 0600);
        if (fd >= 0)
            close(fd);
    }
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

} // namespace SMTPClientNS
