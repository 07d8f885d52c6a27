// Win32 file handles over POSIX file descriptors. A handle points to an OpenFile record; the
// records of all open handles are kept in one process-local table, which both validates handles
// and enforces the Windows sharing rules among the handles of this process.
#include "thread_handles.h"

#include <windows.h>

#include "utf8_text.h"

#include <cerrno>
#include <climits>
#include <fcntl.h>
#include <mutex>
#include <new>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <unordered_set>

namespace {

struct OpenFile {
    int fd;
    DWORD access; // GENERIC_READ / GENERIC_WRITE
    DWORD share;  // FILE_SHARE_READ / FILE_SHARE_WRITE
    dev_t device;
    ino_t inode;
};

struct OpenFileTable {
    std::mutex mutex;
    std::unordered_set<OpenFile*> files;
};

OpenFileTable& Table() {
    static OpenFileTable table;
    return table;
}

constexpr DWORD kShareBits = FILE_SHARE_READ | FILE_SHARE_WRITE;

// Windows rule: every open's access must be allowed by every other open's share mode.
bool SharingConflicts(const OpenFile& a, const OpenFile& b) {
    auto allows = [](DWORD access, DWORD share) {
        return (!(access & GENERIC_READ) || (share & FILE_SHARE_READ)) &&
               (!(access & GENERIC_WRITE) || (share & FILE_SHARE_WRITE));
    };
    return !allows(a.access, b.share) || !allows(b.access, a.share);
}

// Copies the open file behind a handle; false with ERROR_INVALID_HANDLE for an unknown one.
bool LookUp(HANDLE handle, OpenFile& copy) {
    OpenFileTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.files.find(static_cast<OpenFile*>(handle));
    if (found == table.files.end()) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    copy = **found;
    return true;
}

// Windows tells a missing file in an existing folder from a missing folder on the way.
DWORD NotFoundError(const std::string& path) {
    const size_t slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ERROR_FILE_NOT_FOUND;
    const std::string parent = slash == 0 ? std::string("/") : path.substr(0, slash);
    struct stat info;
    if (stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode))
        return ERROR_FILE_NOT_FOUND;
    return ERROR_PATH_NOT_FOUND;
}

DWORD ErrorFromErrno(int error, const std::string& path) {
    switch (error) {
    case ENOENT:
        return NotFoundError(path);
    case ENOTDIR:
        return ERROR_PATH_NOT_FOUND;
    case EACCES:
    case EPERM:
    case EISDIR:
    case ENXIO: // a FIFO without a reader, opened for writing without blocking
    case EROFS:
    case ETXTBSY:
        return ERROR_ACCESS_DENIED;
    case EEXIST:
        return ERROR_FILE_EXISTS;
    case ENAMETOOLONG:
        return ERROR_FILENAME_EXCED_RANGE;
    case EMFILE:
    case ENFILE:
        return ERROR_TOO_MANY_OPEN_FILES;
    case ENOMEM:
        return ERROR_NOT_ENOUGH_MEMORY;
    case ENOSPC:
    case EDQUOT:
        return ERROR_DISK_FULL;
    case EBADF:
        return ERROR_INVALID_HANDLE;
    case EINVAL:
        return ERROR_INVALID_PARAMETER;
    default:
        return ERROR_GEN_FAILURE;
    }
}

// Opens the file for the disposition; existed tells whether it was there before.
int OpenForDisposition(const std::string& path, int flags, DWORD disposition, bool& existed) {
    existed = true;
    if (disposition == OPEN_EXISTING)
        return open(path.c_str(), flags);
    if (disposition == CREATE_NEW) {
        existed = false;
        return open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
    }
    // CREATE_ALWAYS, OPEN_ALWAYS: open what is there, else create it; retry when another
    // process creates or removes the name between the two calls.
    for (int attempt = 0; attempt < 16; ++attempt) {
        const int fd = open(path.c_str(), flags);
        if (fd >= 0 || errno != ENOENT)
            return fd;
        const int created = open(path.c_str(), flags | O_CREAT | O_EXCL, 0666);
        if (created >= 0 || errno != EEXIST) {
            existed = false;
            return created;
        }
    }
    return -1;
}

} // namespace

HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                          LPSECURITY_ATTRIBUTES, DWORD creationDisposition, DWORD, HANDLE) {
    const DWORD access = desiredAccess & (GENERIC_READ | GENERIC_WRITE);
    if (!fileName || access == 0 || access != desiredAccess || creationDisposition < CREATE_NEW ||
        creationDisposition > OPEN_ALWAYS) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    const std::string path = win32compat::ToSystemBytes(fileName);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_HANDLE_VALUE;
    }

    // Without blocking: opening a FIFO would otherwise wait for its other end.
    int flags = O_CLOEXEC | O_NOCTTY | O_NONBLOCK;
    if (access == (GENERIC_READ | GENERIC_WRITE))
        flags |= O_RDWR;
    else if (access == GENERIC_WRITE)
        flags |= O_WRONLY;
    else
        flags |= O_RDONLY;

    bool existed = true;
    const int fd = OpenForDisposition(path, flags, creationDisposition, existed);
    if (fd < 0) {
        SetLastError(ErrorFromErrno(errno, path));
        return INVALID_HANDLE_VALUE;
    }
    struct stat info;
    const bool known = fstat(fd, &info) == 0;
    if (!known || !S_ISREG(info.st_mode)) {
        // Without FILE_FLAG_BACKUP_SEMANTICS Windows refuses to open a folder; FIFOs, devices
        // and sockets are no files Windows could open by such a path either.
        const DWORD error = known ? ERROR_ACCESS_DENIED : ErrorFromErrno(errno, path);
        close(fd);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    // A regular file: reads and writes block as usual.
    const int statusFlags = fcntl(fd, F_GETFL);
    if (statusFlags < 0 || fcntl(fd, F_SETFL, statusFlags & ~O_NONBLOCK) != 0) {
        const DWORD error = ErrorFromErrno(errno, path);
        close(fd);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }

    OpenFile* file =
        new (std::nothrow) OpenFile{fd, access, shareMode & kShareBits, info.st_dev, info.st_ino};
    if (!file) {
        close(fd);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return INVALID_HANDLE_VALUE;
    }
    {
        OpenFileTable& table = Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        for (const OpenFile* other : table.files) {
            if (other->device == file->device && other->inode == file->inode &&
                SharingConflicts(*other, *file)) {
                close(fd);
                delete file;
                SetLastError(ERROR_SHARING_VIOLATION);
                return INVALID_HANDLE_VALUE;
            }
        }
        table.files.insert(file);
    }

    // Truncate only once the sharing check has passed, so a refused open changes nothing.
    if (creationDisposition == CREATE_ALWAYS && existed && ftruncate(fd, 0) != 0) {
        const DWORD error = ErrorFromErrno(errno, path);
        CloseHandle(file);
        SetLastError(error);
        return INVALID_HANDLE_VALUE;
    }
    const bool reportExisting =
        existed && (creationDisposition == CREATE_ALWAYS || creationDisposition == OPEN_ALWAYS);
    SetLastError(reportExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return file;
}

BOOL WINAPI ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read,
                     LPOVERLAPPED overlapped) {
    if (read)
        *read = 0;
    OpenFile file;
    if (!LookUp(handle, file))
        return FALSE;
    if (overlapped || (!buffer && toRead > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(file.access & GENERIC_READ)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD total = 0;
    while (total < toRead) {
        const ssize_t got = ::read(file.fd, static_cast<char*>(buffer) + total, toRead - total);
        if (got < 0 && errno == EINTR)
            continue;
        if (got < 0) {
            SetLastError(ErrorFromErrno(errno, std::string()));
            return FALSE;
        }
        if (got == 0)
            break;
        total += DWORD(got);
        if (read)
            *read = total;
    }
    return TRUE;
}

BOOL WINAPI WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                      LPOVERLAPPED overlapped) {
    if (written)
        *written = 0;
    OpenFile file;
    if (!LookUp(handle, file))
        return FALSE;
    if (overlapped || (!buffer && toWrite > 0)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (!(file.access & GENERIC_WRITE)) {
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    DWORD total = 0;
    while (total < toWrite) {
        const ssize_t put =
            ::write(file.fd, static_cast<const char*>(buffer) + total, toWrite - total);
        if (put < 0 && errno == EINTR)
            continue;
        if (put <= 0) {
            SetLastError(put == 0 ? ERROR_DISK_FULL : ErrorFromErrno(errno, std::string()));
            return FALSE;
        }
        total += DWORD(put);
        if (written)
            *written = total;
    }
    return TRUE;
}

DWORD WINAPI SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD moveMethod) {
    OpenFile file;
    if (!LookUp(handle, file))
        return INVALID_SET_FILE_POINTER;
    const LONGLONG move = distanceHigh
                              ? LONGLONG((ULONGLONG(DWORD(*distanceHigh)) << 32) | DWORD(distance))
                              : LONGLONG(distance);
    off_t base = 0;
    if (moveMethod == FILE_CURRENT) {
        base = lseek(file.fd, 0, SEEK_CUR);
    } else if (moveMethod == FILE_END) {
        struct stat info;
        base = fstat(file.fd, &info) == 0 ? info.st_size : -1;
    } else if (moveMethod != FILE_BEGIN) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (base < 0) {
        SetLastError(ErrorFromErrno(errno, std::string()));
        return INVALID_SET_FILE_POINTER;
    }
    LONGLONG target = 0;
    if (__builtin_add_overflow(LONGLONG(base), move, &target)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (target < 0) {
        SetLastError(ERROR_NEGATIVE_SEEK);
        return INVALID_SET_FILE_POINTER;
    }
    if (!distanceHigh && target > LONGLONG(UINT32_MAX)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_SET_FILE_POINTER;
    }
    if (lseek(file.fd, off_t(target), SEEK_SET) < 0) {
        SetLastError(ErrorFromErrno(errno, std::string()));
        return INVALID_SET_FILE_POINTER;
    }
    if (distanceHigh)
        *distanceHigh = LONG(ULONGLONG(target) >> 32);
    SetLastError(ERROR_SUCCESS);
    return DWORD(ULONGLONG(target) & 0xFFFFFFFFu);
}

BOOL WINAPI GetFileSizeEx(HANDLE handle, PLARGE_INTEGER size) {
    OpenFile file;
    if (!LookUp(handle, file))
        return FALSE;
    struct stat info;
    if (!size || fstat(file.fd, &info) != 0) {
        SetLastError(size ? ErrorFromErrno(errno, std::string()) : ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    size->QuadPart = LONGLONG(info.st_size);
    return TRUE;
}

DWORD WINAPI GetFileAttributesW(LPCWSTR fileName) {
    if (!fileName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_FILE_ATTRIBUTES;
    }
    const std::string path = win32compat::ToSystemBytes(fileName);
    if (path.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return INVALID_FILE_ATTRIBUTES;
    }
    struct stat info;
    if (stat(path.c_str(), &info) != 0) {
        SetLastError(ErrorFromErrno(errno, path));
        return INVALID_FILE_ATTRIBUTES;
    }
    return S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_NORMAL;
}

BOOL WINAPI CloseHandle(HANDLE handle) {
    OpenFile* file = static_cast<OpenFile*>(handle);
    {
        OpenFileTable& table = Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        if (table.files.erase(file) == 0) {
            if (win32compat::CloseThreadHandle(handle))
                return TRUE;
            SetLastError(ERROR_INVALID_HANDLE);
            return FALSE;
        }
    }
    close(file->fd);
    delete file;
    return TRUE;
}
