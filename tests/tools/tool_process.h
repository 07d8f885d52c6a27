// Runs a command-line tool as a user does from a shell: bytes on its standard input, its own
// environment, and both output streams captured.
#pragma once

#include <string>
#include <vector>

namespace testtools {

struct ToolRun {
    int exitCode = -1; // -1 when it could not be started, was killed or ran over 60 s
    std::string out;   // standard output
    std::string err;   // standard error
};

// Runs argv[0] (a path) with input on standard input (a pipe, not a terminal). The environment
// is this process's without any LARKMAIL_* variable, plus environment ("NAME=VALUE" entries).
ToolRun RunTool(const std::vector<std::string>& argv, const std::string& input = {},
                const std::vector<std::string>& environment = {});

// Runs argv[0] on a new pseudo-terminal (its standard input, output and error), with the
// environment of RunTool. Once the terminal shows prompt, answer is typed. out holds everything
// the terminal showed; err stays empty.
ToolRun RunToolOnTerminal(const std::vector<std::string>& argv, const std::string& prompt,
                          const std::string& answer,
                          const std::vector<std::string>& environment = {});

} // namespace testtools
