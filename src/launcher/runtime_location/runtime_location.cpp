// The runtime search in its order of preference, then the load: each step is one function
// below, and LoadRuntimeLibrary runs them in order.
#include "runtime_location/runtime_location.h"

#include "files/file_probe.h"
#include "platform/library_image.h"
#include "platform/path_rules.h"
#include "platform/platform_names.h"
#include "runtime_location/bounded_text.h"
#include "runtime_location/load_failure_message.h"
#include "runtime_location/path_variable.h"
#include "runtime_location/registered_runtime.h"
#include "trace.h"
#include "wide_string.h"
#include "xml/configuration_file.h"

namespace launcher {

namespace {

constexpr UINT kRequiredVersionString = 1005;

// The required version: string 1005 of the launcher, left empty when absent. False when it
// cannot be read: the launcher's file could not be read, or the version is longer than the
// 19 characters of its buffer. No registered runtime may be taken then, as any version
// would count as above an empty one.
bool LoadRequiredVersion(HINSTANCE instance, WCHAR* version) {
    WCHAR loaded[kVersionUnits + 1] = {};
    // LoadStringW reports an empty entry of an existing string block by returning 0 without
    // setting an error: cleared first, the error then tells it from an unreadable file.
    SetLastError(ERROR_SUCCESS);
    const int length = LoadStringW(instance, kRequiredVersionString, loaded, kVersionUnits + 1);
    if (length > 0 && static_cast<size_t>(length) < kVersionUnits) {
        wcscpy_s(version, kVersionUnits, loaded);
        return true;
    }
    if (length > 0) {
        Trace(TEXT("required version refused (longer than 19 characters)"), loaded);
        return false;
    }
    switch (GetLastError()) {
    case ERROR_SUCCESS:
    case ERROR_RESOURCE_DATA_NOT_FOUND:
    case ERROR_RESOURCE_TYPE_NOT_FOUND:
    case ERROR_RESOURCE_NAME_NOT_FOUND:
    case ERROR_RESOURCE_LANG_NOT_FOUND:
        return true; // absent: the version stays empty
    default:
        Trace(TEXT("required version unreadable"), TEXT("the launcher's file cannot be read"));
        return false;
    }
}

// The launcher's full file name; empty when it does not fit 259 characters.
WideString LauncherFileName(HINSTANCE instance) {
    WCHAR name[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(instance, name, MAX_PATH);
    return length == 0 || length >= MAX_PATH ? WideString() : WideString(name);
}

// The part of a file name before its last separator; empty when there is none.
WideString FolderOf(const WideString& fileName) {
    const size_t last = fileName.rfind(kPathSeparator);
    return last == WideString::npos ? WideString() : fileName.substr(0, last);
}

// A runtime folder's two PATH entries: the folder and its architecture sub-folder.
WideString RuntimeEntries(const WideString& folder) {
    return folder + kPathListSeparator + folder + kPathSeparator + kArchitectureFolder;
}

// Local library, the search: the full path of a 64-bit runtime library beside the
// launcher; empty when there is none (a library of another word size is passed over).
WideString FindLocalLibrary(const WideString& launcherFile, const WideString& launcherFolder,
                            LPCWSTR libraryName) {
    WCHAR library[MAX_PATH] = {};
    BoundedText local(library, MAX_PATH);
    local << launcherFolder.c_str() << kPathSeparator << libraryName;
    if (launcherFile.empty() || !local.fits())
        library[0] = 0;
    if (!*library || !PathExists(library)) {
        Trace(TEXT("library beside the launcher passed over (not found)"), library);
        return {};
    }
    if (!Is64BitImage(library)) {
        Trace(TEXT("library beside the launcher passed over (not a 64-bit image)"), library);
        return {};
    }
    Trace(TEXT("library beside the launcher chosen"), library);
    return library;
}

// Local library, the load: by its full path, PATH unchanged. A failure is described with the
// launcher's folder in the place of the runtime path.
HMODULE LoadLocalLibrary(const WideString& library, const WideString& launcherFolder,
                         LPCWSTR requiredVersion, WCHAR* message) {
    if (HMODULE module = LoadLibraryW(library.c_str()))
        return module;
    DescribeRuntimeLoadFailure(launcherFolder.c_str(), launcherFolder.c_str(), requiredVersion,
                               message);
    return nullptr;
}

enum class ConfiguredFolder { Absent, Empty, Chosen };

// XML folder: the RuntimePath of the XML file beside the launcher, read into runtimePath and
// written into PATH with its architecture sub-folder. probedPath receives where the folder
// is tested for existence should the load fail.
ConfiguredFolder UseConfiguredRuntimeFolder(const WideString& launcherFile,
                                            const WideString& launcherFolder,
                                            const InheritedPath& inherited, WCHAR* runtimePath,
                                            WideString& probedPath) {
    if (!ReadConfiguredRuntimePath(runtimePath))
        return ConfiguredFolder::Absent;
    if (!*runtimePath)
        return ConfiguredFolder::Empty;
    const ResolvedRuntimePath resolved =
        IsAbsoluteConfiguredPath(runtimePath)
            ? ResolvedRuntimePath{runtimePath, runtimePath}
            : ResolveRelativeRuntimePath(launcherFile, launcherFolder, runtimePath);
    probedPath = resolved.probed;
    if (WritePath(kPathVariable, RuntimeEntries(resolved.folder), inherited))
        Trace(TEXT("XML runtime path chosen"), runtimePath);
    else
        Trace(TEXT("PATH left unchanged (it would exceed 8191 characters)"), runtimePath);
    return ConfiguredFolder::Chosen;
}

// Load: the bare name through the system's search order, which takes in the PATH written
// above. A failure is described from the runtime path found (possibly none).
HMODULE LoadByBareName(LPCWSTR libraryName, LPCWSTR runtimePath, LPCWSTR probedPath,
                       LPCWSTR requiredVersion, WCHAR* message) {
    if (HMODULE module = LoadLibraryW(libraryName))
        return module;
    Trace(TEXT("runtime library did not load"), libraryName);
    DescribeRuntimeLoadFailure(runtimePath, probedPath, requiredVersion, message);
    return nullptr;
}

} // namespace

HMODULE LoadRuntimeLibrary(LPCWSTR libraryName, HINSTANCE instance, WCHAR* message) {
    WCHAR requiredVersion[kVersionUnits] = {};
    const bool versionReadable = LoadRequiredVersion(instance, requiredVersion);
    const InheritedPath inherited = PrepareInheritedPath();
    const WideString launcherFile = LauncherFileName(instance);
    const WideString launcherFolder = FolderOf(launcherFile);

    const WideString localLibrary = FindLocalLibrary(launcherFile, launcherFolder, libraryName);
    if (!localLibrary.empty())
        return LoadLocalLibrary(localLibrary, launcherFolder, requiredVersion, message);

    WCHAR runtimePath[MAX_PATH] = {};
    WideString probedPath;
    switch (UseConfiguredRuntimeFolder(launcherFile, launcherFolder, inherited, runtimePath,
                                       probedPath)) {
    case ConfiguredFolder::Empty:
        wcscpy_s(message, kMessageUnits, TEXT("The path specified in the XML file is incorrect!"));
        return nullptr;
    case ConfiguredFolder::Absent:
        // Without the required version no registered runtime is known to match.
        if (!versionReadable) {
            Trace(TEXT("registry passed over"), TEXT("the required version cannot be read"));
            DescribeRuntimeLoadFailure(runtimePath, runtimePath, requiredVersion, message);
            return nullptr;
        }
        UseRegisteredRuntime(inherited, requiredVersion, runtimePath, libraryName);
        probedPath = runtimePath;
        break;
    case ConfiguredFolder::Chosen:
        break;
    }
    return LoadByBareName(libraryName, runtimePath, probedPath.c_str(), requiredVersion, message);
}

} // namespace launcher
