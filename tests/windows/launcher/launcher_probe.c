/* Test helper for the launcher under Wine.
 *
 *   launcher_probe run OUT_FILE COMMAND_LINE
 *       Starts COMMAND_LINE (taken as the child's whole command line), reads every message box
 *       the child shows (caption, text, whether it has an icon, whether it is topmost), closes
 *       it with OK so that nothing waits for a click, and when the child has ended writes
 *           box=[<caption>] <text> icon=<yes|no> topmost=<yes|no>     (one line per box)
 *           exit=<the child's exit code as a signed 32-bit number>
 *       to OUT_FILE (UTF-8; CR, LF and backslash in texts as \r, \n and \\). Exits with the
 *       child's exit code.
 *   launcher_probe path OUT_FILE
 *       Writes PATH as this process received it.
 *   launcher_probe string-block OUT_FILE IMAGE ID TEXT
 *       Replaces the image's string block that holds string ID with a language-neutral block
 *       holding only that string (a block whose other entries, 1005 among them, are empty).
 *   launcher_probe version OUT_FILE IMAGE
 *       Writes the image's resource types, the version block's translations and its seven
 *       standard string values. */
#include <windows.h>

#include <stdio.h>
#include <string.h>

static FILE* out;

static void Text(const wchar_t* text, int escape) {
    char bytes[8192];
    const int n = WideCharToMultiByte(CP_UTF8, 0, text, -1, bytes, sizeof bytes, NULL, NULL);
    for (int i = 0; n > 0 && bytes[i]; ++i) {
        if (escape && bytes[i] == '\r')
            fputs("\\r", out);
        else if (escape && bytes[i] == '\n')
            fputs("\\n", out);
        else if (escape && bytes[i] == '\\')
            fputs("\\\\", out);
        else
            fputc(bytes[i], out);
    }
}

/* Message boxes already read: a closed box may still exist for a moment. */
static HWND seen[64];
static int seenCount;
static DWORD childId;

struct BoxParts {
    wchar_t text[4096];
    int icon;
};

static BOOL CALLBACK ReadPart(HWND part, LPARAM context) {
    struct BoxParts* parts = (struct BoxParts*)context;
    wchar_t name[64];
    GetClassNameW(part, name, 64);
    if (_wcsicmp(name, L"Static") != 0)
        return TRUE;
    const LONG style = GetWindowLongW(part, GWL_STYLE);
    if ((style & SS_TYPEMASK) == SS_ICON) {
        parts->icon =
            parts->icon || (IsWindowVisible(part) && SendMessageW(part, STM_GETICON, 0, 0) != 0);
        return TRUE;
    }
    wchar_t text[4096];
    if (GetWindowTextW(part, text, 4096) > 0 && !parts->text[0])
        wcscpy(parts->text, text);
    return TRUE;
}

static BOOL CALLBACK ReadBox(HWND window, LPARAM closed) {
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    wchar_t name[64];
    GetClassNameW(window, name, 64);
    /* A box becomes visible once its caption and text are set. */
    if (process != childId || wcscmp(name, L"#32770") != 0 || !IsWindowVisible(window))
        return TRUE;
    for (int i = 0; i < seenCount; ++i)
        if (seen[i] == window)
            return TRUE;
    if (seenCount < 64)
        seen[seenCount++] = window;
    struct BoxParts parts;
    memset(&parts, 0, sizeof parts);
    wchar_t caption[1024] = {0};
    GetWindowTextW(window, caption, 1024);
    EnumChildWindows(window, ReadPart, (LPARAM)&parts);
    fputs("box=[", out);
    Text(caption, 1);
    fputs("] ", out);
    Text(parts.text, 1);
    fprintf(out, " icon=%s topmost=%s\n", parts.icon ? "yes" : "no",
            (GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_TOPMOST) ? "yes" : "no");
    PostMessageW(window, WM_COMMAND, IDOK, 0);
    ++*(int*)closed;
    return TRUE;
}

static int Run(wchar_t* commandLine) {
    STARTUPINFOW startup;
    memset(&startup, 0, sizeof startup);
    startup.cb = sizeof startup;
    /* A show mode the launcher must hand on as received (SW_SHOWMINNOACTIVE). */
    startup.dwFlags = STARTF_USESHOWWINDOW;
    startup.wShowWindow = SW_SHOWMINNOACTIVE;
    PROCESS_INFORMATION child;
    if (!CreateProcessW(NULL, commandLine, NULL, NULL, FALSE, 0, NULL, NULL, &startup, &child)) {
        fprintf(out, "start failed: %lu\n", GetLastError());
        return 200;
    }
    childId = child.dwProcessId;
    int closed = 0;
    while (WaitForSingleObject(child.hProcess, 20) == WAIT_TIMEOUT)
        EnumWindows(ReadBox, (LPARAM)&closed);
    DWORD code = 0;
    GetExitCodeProcess(child.hProcess, &code);
    fprintf(out, "exit=%ld\n", (long)(LONG)code);
    CloseHandle(child.hThread);
    CloseHandle(child.hProcess);
    return (int)code;
}

static BOOL CALLBACK CountType(HMODULE module, LPWSTR type, LONG_PTR context) {
    (void)module;
    (void)context;
    if (IS_INTRESOURCE(type))
        fprintf(out, "resource_type=%u\n", (unsigned)(ULONG_PTR)type);
    else {
        fputs("resource_type=", out);
        Text(type, 1);
        fputs("\n", out);
    }
    return TRUE;
}

static int Version(const wchar_t* image) {
    const HMODULE module = LoadLibraryExW(image, NULL, LOAD_LIBRARY_AS_DATAFILE);
    if (module) {
        EnumResourceTypesW(module, CountType, 0);
        FreeLibrary(module);
    }
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(image, &ignored);
    static unsigned char block[65536];
    if (size == 0 || size > sizeof block || !GetFileVersionInfoW(image, 0, size, block)) {
        fputs("version=none\n", out);
        return 1;
    }
    WORD* translations = NULL;
    UINT length = 0;
    if (VerQueryValueW(block, L"\\VarFileInfo\\Translation", (void**)&translations, &length))
        for (UINT i = 0; i + 1 < length / 2; i += 2)
            fprintf(out, "translation=%04x/%04x\n", translations[i], translations[i + 1]);
    static const wchar_t* names[] = {L"CompanyName",   L"FileDescription",  L"FileVersion",
                                     L"InternalName",  L"OriginalFilename", L"ProductName",
                                     L"ProductVersion"};
    for (int i = 0; i < 7; ++i) {
        wchar_t query[128];
        swprintf(query, 128, L"\\StringFileInfo\\040904b0\\%ls", names[i]);
        wchar_t* value = NULL;
        Text(names[i], 0);
        if (VerQueryValueW(block, query, (void**)&value, &length)) {
            fputs("=\"", out);
            Text(length ? value : L"", 1);
            fputs("\"\n", out);
        } else {
            fputs(" absent\n", out);
        }
    }
    return 0;
}

static int StringBlock(const wchar_t* image, unsigned id, const wchar_t* text) {
    WCHAR block[16 + 256] = {0};
    const size_t length = wcslen(text) < 256 ? wcslen(text) : 255;
    /* Entries before the string are empty (length 0); the string's own entry follows them. */
    block[id % 16] = (WCHAR)length;
    memcpy(block + id % 16 + 1, text, length * sizeof(WCHAR));
    const DWORD size = (DWORD)((16 + length) * sizeof(WCHAR));
    const HANDLE update = BeginUpdateResourceW(image, FALSE);
    if (!update ||
        !UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(id / 16 + 1),
                         MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), block, size) ||
        !EndUpdateResourceW(update, FALSE)) {
        fprintf(out, "string-block failed: %lu\n", GetLastError());
        return 1;
    }
    return 0;
}

int wmain(int argc, wchar_t** argv) {
    if (argc < 3)
        return 2;
    out = _wfopen(argv[2], L"wb");
    if (!out)
        return 3;
    int result = 2;
    if (wcscmp(argv[1], L"run") == 0 && argc == 4) {
        result = Run(argv[3]);
    } else if (wcscmp(argv[1], L"path") == 0) {
        static wchar_t path[32768];
        GetEnvironmentVariableW(L"PATH", path, 32768);
        fputs("PATH=", out);
        Text(path, 0);
        fputs("\n", out);
        result = 0;
    } else if (wcscmp(argv[1], L"string-block") == 0 && argc == 6) {
        result = StringBlock(argv[3], (unsigned)_wtoi(argv[4]), argv[5]);
    } else if (wcscmp(argv[1], L"version") == 0 && argc == 4) {
        result = Version(argv[3]);
    }
    fclose(out);
    return result;
}
