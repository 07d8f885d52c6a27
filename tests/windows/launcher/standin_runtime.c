/* Stand-in for the runtime library cvvm.dll. Each entry appends what it received to the file
 * named by STANDIN_RECORD (a Windows path), one "name=value" line each:
 *     entry, process_module (instance is the process's own module: yes/no), previous
 *     (null/set), arguments (UTF-8), show, fifth, sixth, PATH (UTF-8)
 * and returns the integer in STANDIN_EXIT_CODE (0 when unset). Built without entries
 * (-DSTANDIN_WITHOUT_ENTRIES) it exports another name only. */
#include <windows.h>

#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>

static void WriteUtf8(FILE* out, const wchar_t* text) {
    char bytes[32768];
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    if (n > 0)
        fputs(bytes, out);
}

static int Report(const char* entry, HINSTANCE instance, HINSTANCE previous,
                  const wchar_t* arguments, int show, int64_t fifth, int sixth) {
    static wchar_t record[MAX_PATH], path[32768], code[32];
    if (GetEnvironmentVariableW(L"STANDIN_RECORD", record, MAX_PATH) > 0) {
        FILE* out = _wfopen(record, L"ab");
        if (out) {
            fprintf(out, "entry=%s\nprocess_module=%s\nprevious=%s\narguments=", entry,
                    instance == GetModuleHandleW(NULL) ? "yes" : "no", previous ? "set" : "null");
            WriteUtf8(out, arguments ? arguments : L"");
            fprintf(out, "\nshow=%d\nfifth=%lld\nsixth=%d\nPATH=", show, (long long)fifth, sixth);
            if (GetEnvironmentVariableW(L"PATH", path, 32768) > 0)
                WriteUtf8(out, path);
            fputs("\n", out);
            fclose(out);
        }
    }
    if (GetEnvironmentVariableW(L"STANDIN_EXIT_CODE", code, 32) > 0)
        return _wtoi(code);
    return 0;
}

#ifndef STANDIN_WITHOUT_ENTRIES
__declspec(dllexport) int FN_RunExecutable(HINSTANCE instance, HINSTANCE previous,
                                           const wchar_t* arguments, int show, int64_t fifth,
                                           int sixth) {
    return Report("FN_RunExecutable", instance, previous, arguments, show, fifth, sixth);
}

__declspec(dllexport) int PD_HostAttachedTarget(HINSTANCE instance, HINSTANCE previous,
                                                const wchar_t* arguments, int show, int64_t fifth,
                                                int sixth) {
    return Report("PD_HostAttachedTarget", instance, previous, arguments, show, fifth, sixth);
}
#else
__declspec(dllexport) int StandInWithoutEntries(void) {
    return Report("none", NULL, NULL, L"", 0, 0, 0);
}
#endif
