// The failure diagnosis: the first of its cases that applies gives the message.
#include "runtime_location/load_failure_message.h"

#include "files/file_probe.h"
#include "platform/platform_names.h"
#include "runtime_location/bounded_text.h"
#include "runtime_location/buffer_sizes.h"
#include "trailer/trailer_reader.h"
#include "wide_string.h"

namespace launcher {

void DescribeRuntimeLoadFailure(LPCWSTR runtimePath, LPCWSTR probedPath, LPCWSTR requiredVersion,
                                WCHAR* message) {
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
    const bool trailer = HasLauncherTrailer();
    if (wcslen(probedPath) >= MAX_PATH || !PathExists(probedPath)) {
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
    BoundedText probedLibrary(probed, MAX_PATH);
    probedLibrary << probedPath << kPathSeparator << kRuntimeLibraryFileName;
    if (trailer && shownPath.fits() && probedLibrary.fits() && !PathExists(probed)) {
        WideString format = TEXT("The cvvm.dll file not exist, path: %s!");
        format += solution;
        write(format.c_str(), shown);
        return;
    }
    write(TEXT("Load library failed! dll name: cvvm.dll, runtime path:%s"), runtimePath);
}

} // namespace launcher
