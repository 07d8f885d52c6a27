// Input files on POSIX: opened by their byte names, checked with fstat, read with read.
#include "input_files.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Opens path for reading and checks its type; the descriptor is -1 on failure.
int OpenChecked(const std::string& path, bool pipesToo, std::string& error) {
    const int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (fd < 0) {
        error = InputFailure(path, std::strerror(errno));
        return -1;
    }
    struct stat info {};
    if (fstat(fd, &info) != 0 || !(S_ISREG(info.st_mode) || (pipesToo && S_ISFIFO(info.st_mode)))) {
        error = InputFailure(path, S_ISDIR(info.st_mode) ? "is a folder" : "not a regular file");
        close(fd);
        return -1;
    }
    // Opened without blocking so that a FIFO without a writer cannot hold the open; reads block.
    fcntl(fd, F_SETFL, fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    return fd;
}

bool ReadAll(int fd, const std::string& path, std::string& content, std::string& error) {
    content.clear();
    char buffer[65536];
    for (;;) {
        const ssize_t n = read(fd, buffer, sizeof buffer);
        if (n == 0)
            return true;
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error = InputFailure(path, std::strerror(errno));
            return false;
        }
        content.append(buffer, size_t(n));
    }
}

} // namespace

bool ReadInputFile(const std::string& path, std::string& content, std::string& error) {
    if (path == "-")
        return ReadAll(STDIN_FILENO, path, content, error);
    const int fd = OpenChecked(path, true, error);
    if (fd < 0)
        return false;
    const bool ok = ReadAll(fd, path, content, error);
    close(fd);
    return ok;
}

bool CheckReadableFile(const std::string& path, std::string& error) {
    const int fd = OpenChecked(path, false, error);
    if (fd < 0)
        return false;
    close(fd);
    return true;
}
