#include "tool_process.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <fcntl.h>
#include <poll.h>
#include <pty.h>
#include <sys/ioctl.h>
#include <sys/wait.h>
#include <unistd.h>

extern char** environ;

namespace testtools {

namespace {

std::vector<std::string> ChildEnvironment(const std::vector<std::string>& additions) {
    std::vector<std::string> entries;
    for (char** entry = environ; *entry; ++entry)
        if (std::string(*entry).rfind("LARKMAIL_", 0) != 0)
            entries.push_back(*entry);
    entries.insert(entries.end(), additions.begin(), additions.end());
    return entries;
}

std::vector<char*> Pointers(std::vector<std::string>& strings) {
    std::vector<char*> pointers;
    for (std::string& s : strings)
        pointers.push_back(s.data());
    pointers.push_back(nullptr);
    return pointers;
}

} // namespace

ToolRun RunTool(const std::vector<std::string>& argv, const std::string& input,
                const std::vector<std::string>& environment) {
    // A tool that exits without reading its input must not take the test down with SIGPIPE.
    std::signal(SIGPIPE, SIG_IGN);
    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChildEnvironment(environment);
    std::vector<char*> argp = Pointers(args), envp = Pointers(env);

    int in[2], out[2], err[2];
    if (pipe2(in, O_CLOEXEC) != 0 || pipe2(out, O_CLOEXEC) != 0 || pipe2(err, O_CLOEXEC) != 0)
        return {};
    const pid_t pid = fork();
    if (pid == 0) {
        dup2(in[0], STDIN_FILENO);
        dup2(out[1], STDOUT_FILENO);
        dup2(err[1], STDERR_FILENO);
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    close(in[0]);
    close(out[1]);
    close(err[1]);
    ToolRun run;
    if (pid < 0) {
        close(in[1]);
        close(out[0]);
        close(err[0]);
        return run;
    }
    // Test inputs are small: they fit the pipe's buffer whether or not the tool reads them.
    if (!input.empty() && write(in[1], input.data(), input.size()) < 0) {
        // The tool ended before its input was written; what it printed still counts.
    }
    close(in[1]);

    pollfd fds[2] = {{out[0], POLLIN, 0}, {err[0], POLLIN, 0}};
    std::string* sinks[2] = {&run.out, &run.err};
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    bool overran = false;
    while (fds[0].fd >= 0 || fds[1].fd >= 0) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) {
            overran = true;
            kill(pid, SIGKILL);
            break;
        }
        if (poll(fds, 2, int(left.count())) < 0)
            continue;
        for (int i = 0; i < 2; ++i) {
            if (fds[i].fd < 0 || !(fds[i].revents & (POLLIN | POLLHUP | POLLERR)))
                continue;
            char buffer[4096];
            const ssize_t n = read(fds[i].fd, buffer, sizeof buffer);
            if (n > 0) {
                sinks[i]->append(buffer, size_t(n));
            } else {
                close(fds[i].fd);
                fds[i].fd = -1;
            }
        }
    }
    for (pollfd& fd : fds)
        if (fd.fd >= 0)
            close(fd.fd);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!overran && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

ToolRun RunToolOnTerminal(const std::vector<std::string>& argv, const std::string& prompt,
                          const std::string& answer, const std::vector<std::string>& environment) {
    std::vector<std::string> args = argv;
    std::vector<std::string> env = ChildEnvironment(environment);
    std::vector<char*> argp = Pointers(args), envp = Pointers(env);
    ToolRun run;
    int master = -1, terminal = -1;
    if (openpty(&master, &terminal, nullptr, nullptr, nullptr) != 0)
        return run;
    const pid_t pid = fork();
    if (pid == 0) {
        setsid();
        ioctl(terminal, TIOCSCTTY, 0);
        for (int fd : {STDIN_FILENO, STDOUT_FILENO, STDERR_FILENO})
            dup2(terminal, fd);
        close(master);
        close(terminal);
        execve(argp[0], argp.data(), envp.data());
        _exit(127);
    }
    close(terminal);
    bool answered = false, overran = false;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(60);
    for (;;) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd fd = {master, POLLIN, 0};
        if (left.count() <= 0 || poll(&fd, 1, int(left.count())) == 0) {
            overran = true;
            kill(pid, SIGKILL);
            break;
        }
        char buffer[4096];
        const ssize_t n = read(master, buffer, sizeof buffer);
        if (n <= 0) // EIO once the last holder of the terminal has gone
            break;
        run.out.append(buffer, size_t(n));
        if (!answered && run.out.find(prompt) != std::string::npos) {
            answered = write(master, answer.data(), answer.size()) == ssize_t(answer.size());
        }
    }
    close(master);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!overran && WIFEXITED(status))
        run.exitCode = WEXITSTATUS(status);
    return run;
}

} // namespace testtools
