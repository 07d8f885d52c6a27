// The login password and bearer token: from an argument (visible to every user in the process
// list, so it draws a warning), a file, the environment, or a prompt on the terminal.
#pragma once

#include "options.h"

#include <cstdio>
#include <string>
#include <vector>

// Fills options.password and options.token from --password-file / --token-file, else from
// LARKMAIL_PASSWORD / LARKMAIL_BEARER_TOKEN; an argument form stays as given. Adds a warning
// for each secret given as an argument. False with a message when a secret file cannot be read.
bool ResolveSecrets(SendOptions& options, std::vector<std::string>& warnings, std::string& error);

// True when a login needs a password that no option gave: a user without password or token.
bool NeedsPassword(const SendOptions& options);

// Asks for the password on prompts and reads it from standard input without echo.
// False when standard input is not a terminal or nothing could be read.
bool PromptForPassword(FILE* prompts, std::string& password);

// What --show-settings prints for a secret: **** when one is set, nothing otherwise.
std::string MaskedSecret(const std::string& secret);
