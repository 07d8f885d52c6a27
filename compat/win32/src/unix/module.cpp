// Modules over the dynamic loader (dlopen), with the Windows search order for bare names.
#include <windows.h>

#include "utf8_text.h"

#include <dlfcn.h>
#include <link.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

namespace {

using win32compat::ToSystemBytes;

bool IsRegularFile(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::string ExecutablePath() {
    char buffer[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", buffer, sizeof buffer);
    return n > 0 ? std::string(buffer, static_cast<size_t>(n)) : std::string();
}

std::string FolderOf(const std::string& path) {
    const size_t slash = path.rfind('/');
    return slash == std::string::npos ? std::string() : path.substr(0, slash);
}

HMODULE ToModule(void* handle) {
    return static_cast<HMODULE>(handle);
}

} // namespace

HMODULE WINAPI LoadLibraryW(LPCWSTR fileName) {
    if (!fileName || !*fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    const std::string name = ToSystemBytes(fileName);
    bool foundSomething = false;
    auto tryFile = [&](const std::string& path) -> void* {
        if (!IsRegularFile(path))
            return nullptr;
        foundSomething = true;
        return dlopen(path.c_str(), RTLD_NOW);
    };

    void* handle = nullptr;
    if (name.find('/') != std::string::npos) {
        handle = tryFile(name);
    } else {
        const std::string exeFolder = FolderOf(ExecutablePath());
        if (!exeFolder.empty())
            handle = tryFile(exeFolder + "/" + name);
        if (!handle)
            handle = dlopen(name.c_str(), RTLD_NOW);
        if (!handle) {
            char cwd[PATH_MAX];
            if (getcwd(cwd, sizeof cwd))
                handle = tryFile(std::string(cwd) + "/" + name);
        }
        const char* path = std::getenv("PATH");
        for (std::string list = path ? path : ""; !handle && !list.empty();) {
            const size_t colon = list.find(':');
            const std::string folder = list.substr(0, colon);
            list = colon == std::string::npos ? std::string() : list.substr(colon + 1);
            if (!folder.empty())
                handle = tryFile(folder + "/" + name);
        }
    }
    if (!handle) {
        SetLastError(foundSomething ? ERROR_BAD_FORMAT : ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return ToModule(handle);
}

FARPROC WINAPI GetProcAddress(HMODULE module, LPCSTR procName) {
    void* symbol = (module && procName) ? dlsym(module, procName) : nullptr;
    if (!symbol) {
        SetLastError(ERROR_PROC_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<FARPROC>(symbol);
}

BOOL WINAPI FreeLibrary(HMODULE module) {
    if (!module || dlclose(module) != 0) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}

DWORD WINAPI GetModuleFileNameW(HMODULE module, LPWSTR fileName, DWORD size) {
    std::string path;
    if (module) {
        link_map* map = nullptr;
        if (dlinfo(module, RTLD_DI_LINKMAP, &map) != 0 || !map) {
            SetLastError(ERROR_INVALID_HANDLE);
            return 0;
        }
        if (map->l_name && *map->l_name) {
            char resolved[PATH_MAX];
            path = realpath(map->l_name, resolved) ? resolved : map->l_name;
        }
    }
    if (path.empty())
        path = ExecutablePath();
    if (!fileName || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    const std::u16string wide = win32compat::FromSystemBytes(path);
    const size_t length = wide.size();
    if (length + 1 > size) {
        wide.copy(fileName, size - 1);
        fileName[size - 1] = 0;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    wide.copy(fileName, length);
    fileName[length] = 0;
    SetLastError(ERROR_SUCCESS);
    return static_cast<DWORD>(length);
}

HMODULE WINAPI GetModuleHandleW(LPCWSTR moduleName) {
    if (!moduleName)
        return ToModule(dlopen(nullptr, RTLD_LAZY));
    // A loaded module is known by its full path or by its file name.
    struct Search {
        std::string name;
        std::string path;
    } search{ToSystemBytes(moduleName), {}};
    dl_iterate_phdr(
        [](dl_phdr_info* info, size_t, void* data) {
            auto* s = static_cast<Search*>(data);
            const std::string path = info->dlpi_name ? info->dlpi_name : "";
            const size_t slash = path.rfind('/');
            if (!path.empty() && (path == s->name || (slash != std::string::npos &&
                                                      path.substr(slash + 1) == s->name))) {
                s->path = path;
                return 1;
            }
            return 0;
        },
        &search);
    void* handle =
        search.path.empty() ? nullptr : dlopen(search.path.c_str(), RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    dlclose(handle); // NOLOAD counted a reference; the module stays loaded.
    return ToModule(handle);
}

BOOL WINAPI GetModuleHandleExW(DWORD flags, LPCWSTR moduleName, HMODULE* module) {
    const DWORD known =
        GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS | GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT;
    if (!module || !(flags & GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS) || (flags & ~known)) {
        if (module)
            *module = nullptr;
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    *module = nullptr;
    Dl_info info{};
    void* handle = nullptr;
    if (moduleName && dladdr(moduleName, &info) && info.dli_fname && *info.dli_fname)
        handle = dlopen(info.dli_fname, RTLD_LAZY | RTLD_NOLOAD);
    if (!handle) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return FALSE;
    }
    // NOLOAD counted a reference, which is the caller's unless it asked for none.
    if (flags & GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT)
        dlclose(handle);
    *module = ToModule(handle);
    return TRUE;
}
