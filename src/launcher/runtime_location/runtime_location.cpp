// The runtime search, PATH composition and failure diagnosis.
#include "runtime_location/runtime_location.h"

#include "files/file_probe.h"
#include "platform/library_image.h"
#include "platform/platform_names.h"
#include "trace.h"
#include "trailer/trailer_reader.h"
#include "wide_string.h"
#include "xml/xml_reader.h"

#include <algorithm>
#include <vector>

namespace launcher {

namespace {

constexpr UINT kRequiredVersionString = 1005;
constexpr size_t kDirectVersionLength = 11;
constexpr DWORD kRegistryStringBytes = 260;
constexpr DWORD kInstalledVersionsBytes = 24576;

const WCHAR kDevelopmentKey[] = TEXT("Software\\Meridot\\Corvane\\22.0");
const WCHAR kRuntimeKey[] = TEXT("Software\\Meridot\\Corvane Runtime");
const WCHAR kRegistryKeySeparator = TEXT('\\');

// Text composed into a fixed buffer. Anything that does not fit marks the whole text as
// refused instead of cutting it.
class BoundedText {
public:
    BoundedText(WCHAR* buffer, size_t units) : buffer_(buffer), units_(units) { buffer_[0] = 0; }
    BoundedText& operator<<(LPCWSTR text) {
        for (; text && *text; ++text)
            *this << *text;
        return *this;
    }
    BoundedText& operator<<(WCHAR c) {
        if (length_ + 1 >= units_) {
            fits_ = false;
            return *this;
        }
        buffer_[length_++] = c;
        buffer_[length_] = 0;
        return *this;
    }
    bool fits() const { return fits_; }

private:
    WCHAR* buffer_;
    size_t units_;
    size_t length_ = 0;
    bool fits_ = true;
};

// Reads a string value of HKEY_LOCAL_MACHINE into buffer, bounded to `bytes`; leaves the
// buffer untouched when the key or value is absent or does not fit.
void ReadRegistryString(LPCWSTR key, LPCWSTR value, WCHAR* buffer, DWORD bytes) {
    HKEY opened = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened) !=
        ERROR_SUCCESS)
        return;
    std::vector<WCHAR> data(bytes / sizeof(WCHAR) + 1, 0);
    DWORD size = bytes;
    if (RegQueryValueExW(opened, value, nullptr, nullptr, reinterpret_cast<LPBYTE>(data.data()),
                         &size) == ERROR_SUCCESS)
        std::copy(data.begin(), data.end() - 1, buffer);
    RegCloseKey(opened);
}

// The part of a file name before its last separator; empty when there is none.
WideString FolderOf(LPCWSTR fileName) {
    const WCHAR* last = wcsrchr(fileName, kPathSeparator);
    return last ? WideString(fileName, static_cast<size_t>(last - fileName)) : TEXT("");
}

// Ends a composed PATH (its entries written without a final separator) with the inherited
// PATH. Windows keeps the separator even before an empty PATH; on Linux an empty entry means
// the current folder, so none is left behind the last entry.
void AppendInheritedPath(BoundedText& path, LPCWSTR inheritedPath) {
#ifndef _WIN32
    if (!*inheritedPath)
        return;
#endif
    path << kPathListSeparator << inheritedPath;
}

bool IsAbsoluteConfiguredPath(LPCWSTR path) {
#ifdef _WIN32
    return wcschr(path, TEXT(':')) || (path[0] == TEXT('\\') && path[1] == TEXT('\\'));
#else
    return path[0] == kPathSeparator;
#endif
}

// The required version: string 1005 of the launcher, empty when absent or longer than the
// 19 characters of its buffer.
void LoadRequiredVersion(HINSTANCE instance, WCHAR* version) {
    WCHAR loaded[kVersionUnits + 1] = {};
    const int length = LoadStringW(instance, kRequiredVersionString, loaded, kVersionUnits + 1);
    if (length > 0 && static_cast<size_t>(length) < kVersionUnits)
        wcscpy_s(version, kVersionUnits, loaded);
    else if (length > 0)
        Trace(TEXT("required version refused (longer than 19 characters)"), loaded);
}

// The installed versions: one piece per comma-separated entry (empty pieces skipped, a last
// piece without a comma included), each at most 19 characters; sorted ascending.
std::vector<WideString> InstalledVersions() {
    std::vector<WCHAR> list(kInstalledVersionsBytes / sizeof(WCHAR), 0);
    ReadRegistryString(kRuntimeKey, TEXT("RuntimeVersion"), list.data(), kInstalledVersionsBytes);
    std::vector<WideString> versions;
    WideString piece;
    // A value that fills the buffer has no terminator: the end of the buffer ends the list.
    for (size_t i = 0;; ++i) {
        const WCHAR c = i < list.size() ? list[i] : WCHAR(0);
        if (c != 0 && c != TEXT(',')) {
            piece += c;
            continue;
        }
        if (piece.size() >= kVersionUnits)
            Trace(TEXT("installed version passed over (longer than 19 characters)"), piece.c_str());
        else if (!piece.empty())
            versions.push_back(piece);
        piece.clear();
        if (c == 0)
            break;
    }
    std::sort(versions.begin(), versions.end());
    return versions;
}

// TryRegisteredRuntime; pathUsable is false when the inherited PATH did not fit its buffer,
// so that no PATH may be written.
bool TryRegisteredRuntime(LPCWSTR inheritedPath, LPCWSTR version, WCHAR* runtimePath,
                          LPCWSTR libraryName, bool pathUsable) {
    if (wcslen(version) != kDirectVersionLength) {
        Trace(TEXT("registered version passed over (not 11 characters)"), version);
        return false;
    }
    WCHAR key[MAX_PATH] = {};
    BoundedText keyName(key, MAX_PATH);
    keyName << kRuntimeKey << kRegistryKeySeparator << version;
    if (!keyName.fits())
        return false;
    ReadRegistryString(key, TEXT("Location"), runtimePath, kRegistryStringBytes);
    if (!*runtimePath) {
        Trace(TEXT("registered version passed over (no Location)"), version);
        return false;
    }
    WCHAR library[MAX_PATH] = {};
    BoundedText libraryPath(library, MAX_PATH);
    libraryPath << runtimePath << kPathSeparator << libraryName;
    if (!libraryPath.fits() || !PathExists(library)) {
        Trace(TEXT("registered runtime passed over (library not found)"), library);
        return false;
    }
    std::vector<WCHAR> composed(kPathValueUnits, 0);
    BoundedText path(composed.data(), kPathValueUnits);
    path << runtimePath << kPathSeparator << kArchitectureFolder;
    AppendInheritedPath(path, inheritedPath);
    if (!path.fits() || !pathUsable) {
        Trace(TEXT("registered runtime passed over (PATH would exceed 8191 characters)"),
              runtimePath);
        return false;
    }
    SetEnvironmentVariableW(kRegisteredRuntimePathVariable, composed.data());
    Trace(TEXT("registered runtime chosen"), runtimePath);
    return true;
}

} // namespace

bool TryRegisteredRuntime(LPCWSTR inheritedPath, LPCWSTR version, WCHAR* runtimePath,
                          LPCWSTR libraryName) {
    return TryRegisteredRuntime(inheritedPath, version, runtimePath, libraryName, true);
}

void DescribeRuntimeLoadFailure(LPCWSTR runtimePath, WCHAR* message, LPCWSTR requiredVersion,
                                LPCWSTR probeFolder) {
    const LPCWSTR solution =
        TEXT("\r\nSolution: Enter the application URL in the browser to run the application.");
    auto write = [&](LPCWSTR format, LPCWSTR argument) {
        _snwprintf_s(message, kMessageUnits, _TRUNCATE, format, argument);
    };
    if (!*runtimePath) {
        write(TEXT("There is currently no matching version, Lowest Supported Version: %s"),
              requiredVersion);
        return;
    }
    // Where the runtime folder lies for the existence tests.
    WCHAR probe[MAX_PATH] = {};
    BoundedText probePath(probe, MAX_PATH);
    if (probeFolder && *probeFolder)
        probePath << probeFolder << kPathSeparator;
    probePath << runtimePath;
    const bool trailer = HasLauncherTrailer();
    if (!probePath.fits() || !PathExists(probe)) {
        WideString format = TEXT("Runtime path not exist, path: %s!");
        if (trailer)
            format += solution;
        write(format.c_str(), runtimePath);
        return;
    }
    for (LPCWSTR systemLibrary : kSystemRuntimeLibraries) {
        HMODULE module = LoadLibraryW(systemLibrary);
        if (!module) {
            write(TEXT("The program can't start because %s is missing from your computer."),
                  systemLibrary);
            return;
        }
        FreeLibrary(module);
    }
    WCHAR shown[MAX_PATH] = {};
    BoundedText shownPath(shown, MAX_PATH);
    shownPath << runtimePath << kPathSeparator << kRuntimeLibraryFileName;
    WCHAR probed[MAX_PATH] = {};
    BoundedText probedPath(probed, MAX_PATH);
    probedPath << probe << kPathSeparator << kRuntimeLibraryFileName;
    if (trailer && shownPath.fits() && probedPath.fits() && !PathExists(probed)) {
        WideString format = TEXT("The cvvm.dll file not exist, path: %s!");
        format += solution;
        write(format.c_str(), shown);
        return;
    }
    write(TEXT("Load library failed! dll name: cvvm.dll, runtime path:%s"), runtimePath);
}

HMODULE LoadRuntimeLibrary(LPCWSTR libraryName, HINSTANCE instance, WCHAR* message) {
    WCHAR requiredVersion[kVersionUnits] = {};
    std::vector<WCHAR> inheritedPath(kPathValueUnits, 0);
    std::vector<WCHAR> composedPath(kPathValueUnits, 0);
    WCHAR developmentFolder[MAX_PATH] = {};
    WCHAR developmentName[MAX_PATH] = {};
    WCHAR launcherFile[MAX_PATH] = {};
    WCHAR localLibrary[MAX_PATH] = {};
    WCHAR runtimePath[MAX_PATH] = {};

    // 1. Required version and the inherited PATH. A PATH too long for its buffer is not
    //    cut: the launcher then leaves PATH alone (every composition below is refused).
    LoadRequiredVersion(instance, requiredVersion);
    bool pathUsable = true;
    const DWORD pathLength =
        GetEnvironmentVariableW(kPathVariable, inheritedPath.data(), kPathValueUnits);
    if (pathLength >= kPathValueUnits) {
        inheritedPath[0] = 0;
        pathUsable = false;
        Trace(TEXT("PATH left unchanged"), TEXT("inherited PATH longer than 8191 characters"));
    }

    // 2. The development environment's folder goes in front of the inherited PATH.
    ReadRegistryString(kDevelopmentKey, TEXT("Location"), developmentFolder, kRegistryStringBytes);
    ReadRegistryString(kDevelopmentKey, TEXT("IPS Name"), developmentName, kRegistryStringBytes);
    if (*developmentFolder && *developmentName && pathUsable) {
        BoundedText path(composedPath.data(), kPathValueUnits);
        path << developmentFolder << kPathSeparator << developmentName << kPathSeparator
             << TEXT("IDE") << kPathSeparator << kArchitectureFolder;
        AppendInheritedPath(path, inheritedPath.data());
        if (path.fits())
            std::copy(composedPath.begin(), composedPath.end(), inheritedPath.begin());
        else
            Trace(TEXT("development environment passed over (PATH would exceed 8191 characters)"),
                  developmentFolder);
    }

    // 3. The launcher's folder and the library beside it.
    const DWORD fileLength = GetModuleFileNameW(instance, launcherFile, MAX_PATH);
    if (fileLength == 0 || fileLength >= MAX_PATH)
        launcherFile[0] = 0;
    const WideString launcherFolder = FolderOf(launcherFile);
    BoundedText local(localLibrary, MAX_PATH);
    local << launcherFolder.c_str() << kPathSeparator << libraryName;
    if (!*launcherFile || !local.fits())
        localLibrary[0] = 0;

    // 4. A 64-bit library beside the launcher wins; PATH stays as it is.
    if (*localLibrary && PathExists(localLibrary)) {
        if (Is64BitImage(localLibrary)) {
            Trace(TEXT("library beside the launcher chosen"), localLibrary);
            if (HMODULE module = LoadLibraryW(localLibrary))
                return module;
            DescribeRuntimeLoadFailure(launcherFolder.c_str(), message, requiredVersion);
            return nullptr;
        }
        Trace(TEXT("library beside the launcher passed over (not a 64-bit image)"), localLibrary);
    } else {
        Trace(TEXT("library beside the launcher passed over (not found)"), localLibrary);
    }

    // 5. The runtime folder named in the XML file.
    LPCWSTR probeFolder = nullptr;
    if (ReadConfiguredRuntimePath(runtimePath)) {
        if (!*runtimePath) {
            wcscpy_s(message, kMessageUnits,
                     TEXT("The path specified in the XML file is incorrect!"));
            return nullptr;
        }
        BoundedText path(composedPath.data(), kPathValueUnits);
        if (IsAbsoluteConfiguredPath(runtimePath)) {
            path << runtimePath << kPathListSeparator << runtimePath << kPathSeparator
                 << kArchitectureFolder;
        } else {
#ifdef _WIN32
            // The launcher's file name before "\..\": Windows normalises the path lexically.
            const WideString base = launcherFile;
#else
            // POSIX resolves ".." physically, which a file name does not allow: the folder
            // itself stands in front of the relative path.
            const WideString base = launcherFolder;
            probeFolder = launcherFolder.c_str();
#endif
#ifdef _WIN32
            path << base.c_str() << kPathSeparator << TEXT("..") << kPathSeparator << runtimePath
                 << kPathListSeparator << base.c_str() << kPathSeparator << TEXT("..")
                 << kPathSeparator << runtimePath << kPathSeparator << kArchitectureFolder;
#else
            path << base.c_str() << kPathSeparator << runtimePath << kPathListSeparator
                 << base.c_str() << kPathSeparator << runtimePath << kPathSeparator
                 << kArchitectureFolder;
#endif
        }
        AppendInheritedPath(path, inheritedPath.data());
        if (path.fits() && pathUsable) {
            SetEnvironmentVariableW(kPathVariable, composedPath.data());
            Trace(TEXT("XML runtime path chosen"), runtimePath);
        } else {
            Trace(TEXT("PATH left unchanged (it would exceed 8191 characters)"), runtimePath);
        }
    } else {
        // 6. The registry: the required version, else the lowest installed one above it.
        if (!TryRegisteredRuntime(inheritedPath.data(), requiredVersion, runtimePath, libraryName,
                                  pathUsable)) {
            for (const WideString& version : InstalledVersions()) {
                if (wcscmp(version.c_str(), requiredVersion) > 0) {
                    TryRegisteredRuntime(inheritedPath.data(), version.c_str(), runtimePath,
                                         libraryName, pathUsable);
                    break;
                }
                Trace(TEXT("installed version passed over (not above the required version)"),
                      version.c_str());
            }
        }
    }

    // 7. The bare name, through the system's search order and the PATH prepared above.
    if (HMODULE module = LoadLibraryW(libraryName))
        return module;
    Trace(TEXT("runtime library did not load"), libraryName);
    DescribeRuntimeLoadFailure(runtimePath, message, requiredVersion, probeFolder);
    return nullptr;
}

} // namespace launcher
