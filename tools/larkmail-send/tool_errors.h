// Where the tool's own messages go. --quiet sends the process's standard error to /dev/null for
// the rest of the run, which silences the libcurl protocol lines that the library writes there
// (also from its worker thread and at release), while the tool's warnings, failures and
// password prompt still reach the real standard error.
#pragma once

#include <cstdio>
#include <string>

// The stream for the tool's messages: standard error, or its saved copy after SilenceStderr.
FILE* ToolErrors();

// Redirects file descriptor 2 to /dev/null; ToolErrors() keeps the original.
void SilenceStderr();

// "PROGRAM: message\n" on ToolErrors().
void ReportProblem(const char* program, const std::string& message);
