// HKEY_LOCAL_MACHINE read from a regedit export file.
#include <windows.h>

#include "registry_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

using win32compat::FoldRegistryName;

// An open key: its full path below HKEY_LOCAL_MACHINE and its values, keyed by the
// lower-case name.
struct OpenKey {
    std::u16string path;
    win32compat::RegistryValues values;
};

// The registry file's bytes; empty when it is missing or not a regular file. It is opened
// without blocking, so a FIFO or a device under its name counts as absent instead of holding
// the caller.
std::string RegistryFileBytes() {
    const char* name = std::getenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE);
    const int fd = open(name && *name ? name : WIN32COMPAT_REGISTRY_DEFAULT_FILE,
                        O_RDONLY | O_NONBLOCK | O_CLOEXEC | O_NOCTTY);
    if (fd < 0)
        return {};
    std::string bytes;
    struct stat info;
    if (fstat(fd, &info) == 0 && S_ISREG(info.st_mode)) {
        char buffer[65536];
        ssize_t got;
        while ((got = read(fd, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR))
            bytes.append(buffer, got > 0 ? size_t(got) : 0);
    }
    close(fd);
    return bytes;
}

OpenKey* AsOpenKey(HKEY key) {
    return reinterpret_cast<OpenKey*>(key);
}

bool IsPredefined(HKEY key) {
    return key == HKEY_LOCAL_MACHINE;
}

} // namespace

LSTATUS WINAPI RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    if (!key || !result)
        return ERROR_INVALID_PARAMETER;
    *result = nullptr;
    std::u16string path = IsPredefined(key) ? std::u16string() : AsOpenKey(key)->path;
    if (subKey && *subKey) {
        if (!path.empty())
            path += u'\\';
        path += subKey;
    }
    while (!path.empty() && path.back() == u'\\')
        path.pop_back();
    auto opened = new OpenKey;
    opened->path = FoldRegistryName(path);
    if (!win32compat::ReadRegistryKey(RegistryFileBytes(), opened->path, opened->values)) {
        delete opened;
        return ERROR_FILE_NOT_FOUND;
    }
    *result = reinterpret_cast<HKEY>(opened);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegQueryValueExW(HKEY key, LPCWSTR valueName, LPDWORD, LPDWORD type, LPBYTE data,
                                LPDWORD size) {
    if (!key || IsPredefined(key) || (data && !size))
        return ERROR_INVALID_PARAMETER;
    const OpenKey* opened = AsOpenKey(key);
    const auto found = opened->values.find(FoldRegistryName(valueName ? valueName : u""));
    if (found == opened->values.end())
        return ERROR_FILE_NOT_FOUND;
    const win32compat::RegistryValue& value = found->second;
    if (type)
        *type = value.type;
    if (!size)
        return ERROR_SUCCESS;
    const DWORD needed = static_cast<DWORD>(value.data.size());
    const DWORD available = *size;
    *size = needed;
    if (!data)
        return ERROR_SUCCESS;
    if (available < needed)
        return ERROR_MORE_DATA;
    std::memcpy(data, value.data.data(), needed);
    return ERROR_SUCCESS;
}

LSTATUS WINAPI RegCloseKey(HKEY key) {
    if (!key)
        return ERROR_INVALID_HANDLE;
    if (!IsPredefined(key))
        delete AsOpenKey(key);
    return ERROR_SUCCESS;
}
