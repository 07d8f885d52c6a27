// Child processes for tests: run a program to its end, or keep one running (a test peer) with
// pipes to its standard input and output, ended and reaped when the object goes away.
#pragma once

#include <chrono>
#include <string>
#include <sys/types.h>
#include <vector>

namespace testsupport {

// The Debian Python that has the distribution's packages (aiosmtpd among them).
inline constexpr const char* kSystemPython = "/usr/bin/python3";

struct ProcessResult {
    int exitCode = -1;  // -1 when the program could not be started or did not exit normally
    std::string output; // everything it wrote to standard output
};

// Runs argv (argv[0] searched in PATH) with standard input from /dev/null and waits for it to
// end. Standard error is inherited, or goes to /dev/null with discardStderr.
ProcessResult RunProcess(const std::vector<std::string>& argv, bool discardStderr = false);

class ChildProcess {
public:
    // Starts argv (argv[0] searched in PATH) with standard input and output connected to pipes;
    // standard error is inherited. Throws std::runtime_error when it cannot be started.
    explicit ChildProcess(const std::vector<std::string>& argv);
    // Ends the child (terminate()) if it is still there.
    ~ChildProcess();
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t pid() const { return pid_; }

    // Reads one line of the child's standard output (without its line end). False at end of
    // output or when no complete line came within the time-out.
    bool readLine(std::string& line, std::chrono::milliseconds timeout);

    // SIGTERM, closes the pipes, waits up to 5 s for the child to exit, then SIGKILL; always
    // reaps it. Returns the exit status as waitpid reports it (-1 when already reaped).
    int terminate();

private:
    pid_t pid_ = -1;
    int stdinFd_ = -1;
    int stdoutFd_ = -1;
    std::string pending_;
};

} // namespace testsupport
