#include "child_process.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <stdexcept>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

extern char** environ;

namespace testsupport {

namespace {

struct Pipe {
    int read = -1;
    int write = -1;
};

Pipe MakePipe() {
    int fds[2];
    // Close-on-exec, so that no other child inherits the ends; dup2 onto 0/1 clears the flag.
    if (pipe2(fds, O_CLOEXEC) != 0)
        throw std::runtime_error("pipe2 failed");
    return {fds[0], fds[1]};
}

void CloseFd(int& fd) {
    if (fd >= 0)
        close(fd);
    fd = -1;
}

std::vector<char*> ArgvPointers(const std::vector<std::string>& argv) {
    std::vector<char*> pointers;
    for (const std::string& arg : argv)
        pointers.push_back(const_cast<char*>(arg.c_str()));
    pointers.push_back(nullptr);
    return pointers;
}

// Spawns argv with the given descriptors as its standard input and output (-1: /dev/null for
// input, inherited for output); standard error is inherited unless discarded.
pid_t Spawn(const std::vector<std::string>& argv, int stdinFd, int stdoutFd,
            bool discardStderr = false) {
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    if (stdinFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdinFd, STDIN_FILENO);
    else
        posix_spawn_file_actions_addopen(&actions, STDIN_FILENO, "/dev/null", O_RDONLY, 0);
    if (stdoutFd >= 0)
        posix_spawn_file_actions_adddup2(&actions, stdoutFd, STDOUT_FILENO);
    if (discardStderr)
        posix_spawn_file_actions_addopen(&actions, STDERR_FILENO, "/dev/null", O_WRONLY, 0);
    std::vector<char*> args = ArgvPointers(argv);
    pid_t pid = -1;
    const int error = posix_spawnp(&pid, args[0], &actions, nullptr, args.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return error == 0 ? pid : -1;
}

int WaitRetrying(pid_t pid, int options) {
    int status = 0;
    pid_t got;
    do {
        got = waitpid(pid, &status, options);
    } while (got < 0 && errno == EINTR);
    if (got == 0)
        return -2; // still running (WNOHANG)
    return got < 0 ? -1 : status;
}

} // namespace

ProcessResult RunProcess(const std::vector<std::string>& argv, bool discardStderr) {
    ProcessResult result;
    Pipe out = MakePipe();
    const pid_t pid = Spawn(argv, -1, out.write, discardStderr);
    CloseFd(out.write);
    if (pid < 0) {
        CloseFd(out.read);
        return result;
    }
    char buffer[4096];
    for (;;) {
        const ssize_t got = read(out.read, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break;
        result.output.append(buffer, size_t(got));
    }
    CloseFd(out.read);
    const int status = WaitRetrying(pid, 0);
    if (status >= 0 && WIFEXITED(status))
        result.exitCode = WEXITSTATUS(status);
    return result;
}

ChildProcess::ChildProcess(const std::vector<std::string>& argv) {
    Pipe in = MakePipe();
    Pipe out = MakePipe();
    pid_ = Spawn(argv, in.read, out.write);
    CloseFd(in.read);
    CloseFd(out.write);
    stdinFd_ = in.write;
    stdoutFd_ = out.read;
    if (pid_ < 0) {
        CloseFd(stdinFd_);
        CloseFd(stdoutFd_);
        throw std::runtime_error("cannot start " + argv.at(0));
    }
}

ChildProcess::~ChildProcess() {
    terminate();
}

bool ChildProcess::readLine(std::string& line, std::chrono::milliseconds timeout) {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const size_t end = pending_.find('\n');
        if (end != std::string::npos) {
            line = pending_.substr(0, end);
            pending_.erase(0, end + 1);
            return true;
        }
        if (stdoutFd_ < 0)
            return false;
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0)
            return false;
        pollfd waitFor{stdoutFd_, POLLIN, 0};
        const int ready = poll(&waitFor, 1, int(left.count()));
        if (ready < 0 && errno == EINTR)
            continue;
        if (ready <= 0)
            return false;
        char buffer[1024];
        const ssize_t got = read(stdoutFd_, buffer, sizeof buffer);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            return false;
        pending_.append(buffer, size_t(got));
    }
}

int ChildProcess::terminate() {
    CloseFd(stdinFd_);
    CloseFd(stdoutFd_);
    if (pid_ < 0)
        return -1;
    kill(pid_, SIGTERM);
    int status = -2;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while ((status = WaitRetrying(pid_, WNOHANG)) == -2 &&
           std::chrono::steady_clock::now() < deadline)
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    if (status == -2) {
        kill(pid_, SIGKILL);
        status = WaitRetrying(pid_, 0);
    }
    pid_ = -1;
    return status;
}

} // namespace testsupport
