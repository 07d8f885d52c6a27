#include "secrets.h"

#include "input_files.h"

#include <cstdio>
#include <cstdlib>
#include <termios.h>
#include <unistd.h>

namespace {

struct SecretSource {
    std::optional<std::string>& value;
    const std::optional<std::string>& file;
    const char* variable;
    const char* option;
    const char* fileOption;
};

} // namespace

bool ResolveSecrets(SendOptions& o, std::vector<std::string>& warnings, std::string& error) {
    SecretSource sources[] = {
        {o.password, o.passwordFile, "LARKMAIL_PASSWORD", "--password", "--password-file"},
        {o.token, o.tokenFile, "LARKMAIL_BEARER_TOKEN", "--token", "--token-file"},
    };
    for (SecretSource& source : sources) {
        if (source.value) {
            warnings.push_back(std::string(source.option) +
                               " on the command line is visible to other users; use " +
                               source.fileOption + " or " + source.variable + " instead");
        } else if (source.file) {
            if (!ReadFirstLine(*source.file, source.value.emplace(), error))
                return false;
        } else if (const char* value = std::getenv(source.variable); value && *value) {
            source.value = value;
        }
    }
    return true;
}

bool NeedsPassword(const SendOptions& o) {
    return o.user && !o.user->empty() && !o.password && !o.token;
}

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

std::string MaskedSecret(const std::string& secret) {
    return secret.empty() ? "" : "****";
}
