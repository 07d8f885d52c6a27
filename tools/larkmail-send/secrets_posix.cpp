// The password prompt on POSIX: the terminal's echo off while the line is typed.
#include "secrets.h"

#include <termios.h>
#include <unistd.h>

bool PromptForPassword(FILE* prompts, std::string& password) {
    if (!isatty(STDIN_FILENO))
        return false;
    // Echo goes off before the prompt appears, so nothing typed after the prompt is shown.
    termios saved{};
    const bool haveTerminal = tcgetattr(STDIN_FILENO, &saved) == 0;
    if (haveTerminal) {
        termios silent = saved;
        silent.c_lflag &= ~tcflag_t(ECHO);
        silent.c_lflag |= ECHONL;
        tcsetattr(STDIN_FILENO, TCSAFLUSH, &silent);
    }
    std::fputs("Password: ", prompts);
    std::fflush(prompts);
    password.clear();
    char c;
    bool gotLine = false;
    while (read(STDIN_FILENO, &c, 1) == 1) {
        if (c == '\n') {
            gotLine = true;
            break;
        }
        password += c;
    }
    if (haveTerminal)
        tcsetattr(STDIN_FILENO, TCSADRAIN, &saved); // keeps what was typed after the line
    if (!gotLine)
        std::fputs("\n", prompts);
    if (!password.empty() && password.back() == '\r')
        password.pop_back();
    return gotLine || !password.empty();
}
