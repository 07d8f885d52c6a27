// Registered runtimes: the installed version list, the per-version "Location" and the PATH
// written for the one chosen.
#include "runtime_location/registered_runtime.h"

#include "files/file_probe.h"
#include "platform/platform_names.h"
#include "runtime_location/bounded_text.h"
#include "runtime_location/buffer_sizes.h"
#include "runtime_location/registry.h"
#include "trace.h"

#include <algorithm>
#include <vector>

namespace launcher {

namespace {

// Only a version of exactly this length can be registered.
constexpr size_t kRegisteredVersionLength = 11;
constexpr DWORD kInstalledVersionsBytes = 24576;

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

// Uses the runtime registered for exactly this version when its folder holds the library:
// writes PATH and returns true. runtimePath keeps whatever "Location" was read.
bool TryRegisteredRuntime(const InheritedPath& inherited, LPCWSTR version, WCHAR* runtimePath,
                          LPCWSTR libraryName) {
    if (wcslen(version) != kRegisteredVersionLength) {
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
    const WideString entry = WideString(runtimePath) + kPathSeparator + kArchitectureFolder;
    if (!WritePath(kRegisteredRuntimePathVariable, entry, inherited)) {
        Trace(TEXT("registered runtime passed over (PATH would exceed 8191 characters)"),
              runtimePath);
        return false;
    }
    Trace(TEXT("registered runtime chosen"), runtimePath);
    return true;
}

} // namespace

void UseRegisteredRuntime(const InheritedPath& inherited, LPCWSTR requiredVersion,
                          WCHAR* runtimePath, LPCWSTR libraryName) {
    if (TryRegisteredRuntime(inherited, requiredVersion, runtimePath, libraryName))
        return;
    for (const WideString& version : InstalledVersions()) {
        if (wcscmp(version.c_str(), requiredVersion) > 0) {
            TryRegisteredRuntime(inherited, version.c_str(), runtimePath, libraryName);
            return;
        }
        Trace(TEXT("installed version passed over (not above the required version)"),
              version.c_str());
    }
}

} // namespace launcher
