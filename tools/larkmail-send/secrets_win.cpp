// The password prompt on Windows: the console's echo off while the line is typed, read as
// UTF-16 so that any character of the password arrives.
#include "host_text.h"
#include "secrets.h"

#include <windows.h>

bool PromptForPassword(FILE* prompts, std::string& password) {
    const HANDLE input = GetStdHandle(STD_INPUT_HANDLE);
    DWORD saved = 0;
    if (GetFileType(input) != FILE_TYPE_CHAR || !GetConsoleMode(input, &saved))
        return false; // not a console
    // Echo goes off before the prompt appears, so nothing typed after the prompt is shown.
    SetConsoleMode(input, (saved | ENABLE_LINE_INPUT | ENABLE_PROCESSED_INPUT) &
                              ~DWORD(ENABLE_ECHO_INPUT));
    std::fputs("Password: ", prompts);
    std::fflush(prompts);
    std::wstring typed;
    bool gotLine = false;
    wchar_t c;
    DWORD n = 0;
    while (ReadConsoleW(input, &c, 1, &n, nullptr) && n == 1) {
        if (c == L'\n') {
            gotLine = true;
            break;
        }
        typed += c;
    }
    SetConsoleMode(input, saved);
    std::fputs("\n", prompts); // the console does not echo the Enter key without echo
    if (!typed.empty() && typed.back() == L'\r')
        typed.pop_back();
    password = larkhost::Utf8(typed.c_str());
    return gotLine || !password.empty();
}
