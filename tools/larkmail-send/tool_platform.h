// What larkmail-send does differently on each platform. The entry (main or wmain) and these
// functions are in entry_posix.cpp and entry_win.cpp; tool_errors, input_files and secrets
// have pairs of their own.
#pragma once

#include <cstdio>
#include <optional>
#include <string>

// The tool itself (main.cpp), given its arguments in UTF-8.
int RunLarkmailSend(int argc, char** argv);

// The libcurl line of --version.
std::string LibcurlVersion();

// An environment variable's value in UTF-8; none when unset or empty.
std::optional<std::string> EnvironmentValue(const char* name);

// Sets an environment variable of this process, where the library reads it too.
void SetEnvironmentValue(const char* name, const std::string& value);

// Sends the process's standard error (file descriptor 2, where the library writes its libcurl
// lines) to the null device and returns an unbuffered stream on the original; null on failure.
FILE* DivertStandardError();
