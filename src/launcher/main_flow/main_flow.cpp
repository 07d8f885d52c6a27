// Start-up of one packaged application through the runtime library's entry.
#include "main_flow/main_flow.h"

#include "platform/platform_names.h"
#include "runtime_location/runtime_location.h"

#include <cstdint>

namespace launcher {

namespace {

// Both entries of the runtime library take the start-up values in this order.
typedef int(WINAPI* RuntimeEntry)(HINSTANCE instance, HINSTANCE previous, LPCWSTR arguments,
                                  int showCommand, int64_t fifth, int sixth);

constexpr int64_t kEntryFifthArgument = 1000;
constexpr int kEntrySixthArgument = 0;

} // namespace

LPCWSTR ArgumentText(LPCWSTR commandLine) {
    static const WCHAR empty[] = {0};
    if (!commandLine || !*commandLine)
        return empty;
    if (commandLine[0] == TEXT('"')) {
        const WCHAR* close = wcschr(commandLine + 1, TEXT('"'));
        if (!close)
            return commandLine + 1;
        if (wcslen(close) <= 2)
            return empty;
        return close + 2; // the quote and exactly one following unit
    }
    const WCHAR* space = wcschr(commandLine + 1, TEXT(' '));
    return space ? space + 1 : empty;
}

bool StartupNoticeRequested() {
    char value[128] = {};
    size_t required = 0;
    return getenv_s(&required, value, sizeof value, "CV_STARTUP_DEBUG") == 0 && required != 0 &&
           (value[0] == 'T' || value[0] == 't');
}

int RunLauncher(HINSTANCE instance, HINSTANCE previous, int showCommand) {
    if (StartupNoticeRequested())
        MessageBoxW(nullptr, TEXT("Start to run 64-bit app"), TEXT("cv app stub"), MB_OK);

    const LPCWSTR arguments = ArgumentText(GetCommandLineW());

    WCHAR libraryName[MAX_PATH] = {};
    wcscpy_s(libraryName, MAX_PATH, kRuntimeLibraryBaseName);
    wcscat_s(libraryName, MAX_PATH, kRuntimeLibraryExtension);
    WCHAR message[kMessageUnits] = {};
    HMODULE library = LoadRuntimeLibrary(libraryName, instance, message);
    if (!library) {
        if (*message)
            MessageBoxW(nullptr, message, TEXT("Error"), MB_ICONERROR | MB_SYSTEMMODAL);
        return 0;
    }

    const char* entryName = wcsstr(arguments, TEXT("CVHostAttachedDebug")) ? "PD_HostAttachedTarget"
                                                                           : "FN_RunExecutable";
    // Through void(*)() as the one function type every function pointer may be cast via.
    const auto entry = reinterpret_cast<RuntimeEntry>(
        reinterpret_cast<void (*)()>(GetProcAddress(library, entryName)));
    if (!entry) {
        FreeLibrary(library);
        return -1;
    }
    const int result =
        entry(instance, previous, arguments, showCommand, kEntryFifthArgument, kEntrySixthArgument);
    FreeLibrary(library);
    return result;
}

} // namespace launcher
