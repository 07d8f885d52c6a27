#include "platform/spill_file.h"

#include <cerrno>
#include <cstdlib>
#include <string>

#include <fcntl.h>
#include <unistd.h>

namespace SMTPClientNS {

bool SpillFile::Open() {
    Close();
    const char* folder = std::getenv("TMPDIR");
    std::string path = folder && *folder ? folder : "/tmp";
    path += "/larkmail-trace-XXXXXX";
    // mkstemp creates the file with mode 0600; the name goes at once, so nothing is left behind
    // whatever way the process ends.
    const int fd = mkostemp(&path[0], O_CLOEXEC);
    if (fd < 0)
        return false;
    unlink(path.c_str());
    handle_ = fd;
    open_ = true;
    return true;
}

bool SpillFile::Append(const char* data, size_t size) {
    if (!open_)
        return false;
    while (size > 0) {
        const ssize_t written = write(int(handle_), data, size);
        if (written < 0 && errno == EINTR)
            continue;
        if (written <= 0)
            return false;
        data += written;
        size -= size_t(written);
    }
    return true;
}

size_t SpillFile::ReadAt(uint64_t offset, char* buffer, size_t size) {
    if (!open_)
        return 0;
    for (;;) {
        const ssize_t got = pread(int(handle_), buffer, size, off_t(offset));
        if (got < 0 && errno == EINTR)
            continue;
        return got > 0 ? size_t(got) : 0;
    }
}

void SpillFile::Close() {
    if (!open_)
        return;
    close(int(handle_));
    handle_ = -1;
    open_ = false;
}

} // namespace SMTPClientNS
