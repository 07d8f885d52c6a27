// Files: CreateFileW, ReadFile, WriteFile, SetFilePointer, GetFileSizeEx, GetFileAttributesW,
// CloseHandle.
#pragma once

#include "types.h"

#define GENERIC_READ 0x80000000UL
#define GENERIC_WRITE 0x40000000UL

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4

#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED {
    ULONG_PTR Internal;
    ULONG_PTR InternalHigh;
    union {
        struct {
            DWORD Offset;
            DWORD OffsetHigh;
        } s;
        LPVOID Pointer;
    } u;
    HANDLE hEvent;
} OVERLAPPED, *LPOVERLAPPED;

// Opens or creates a file; the path is UTF-16 and goes to the system as UTF-8. POSIX names
// need not be UTF-8, so every path in this layer (file functions, modules, environment,
// command line) round-trips: a byte that is not part of valid UTF-8 comes back as the lone
// surrogate U+DC00 + byte (U+DC80..U+DCFF) and such a surrogate goes back to its byte.
// Windows behaviour reproduced:
// - Access GENERIC_READ and/or GENERIC_WRITE; dispositions CREATE_NEW (ERROR_FILE_EXISTS if
//   the name exists), CREATE_ALWAYS (truncates; last error ERROR_ALREADY_EXISTS when the file
//   existed, else 0), OPEN_EXISTING, OPEN_ALWAYS (last error as for CREATE_ALWAYS).
// - Sharing: an open fails with ERROR_SHARING_VIOLATION when its access is not allowed by the
//   share mode of an open handle to the same file, or when it denies the access of one; share
//   mode 0 is exclusive. A refused CREATE_ALWAYS leaves the file untouched.
// - A directory cannot be opened (ERROR_ACCESS_DENIED), as without FILE_FLAG_BACKUP_SEMANTICS.
//   Nor can anything else that is not a regular file (FIFO, device, socket): ERROR_ACCESS_DENIED
//   at once, without waiting for the other end of a FIFO.
// - Missing file: ERROR_FILE_NOT_FOUND; missing folder on the way: ERROR_PATH_NOT_FOUND; no
//   permission: ERROR_ACCESS_DENIED. Every handle has its own file position, starting at 0.
// Differences: sharing is enforced only among the handles of this process (a process-local
//   table of open files); other processes are not affected. Access 0 and other access rights,
//   the disposition TRUNCATE_EXISTING and the flags other than attributes are not supported
//   (ERROR_INVALID_PARAMETER for the first two; flags are ignored). Security attributes and
//   the template handle are ignored; handles are never inherited.
WIN32_API HANDLE WINAPI CreateFileW(LPCWSTR fileName, DWORD desiredAccess, DWORD shareMode,
                                    LPSECURITY_ATTRIBUTES securityAttributes,
                                    DWORD creationDisposition, DWORD flagsAndAttributes,
                                    HANDLE templateFile);

// Reads up to toRead bytes at the handle's position; at the end of the file it succeeds with 0
// bytes read. A handle opened without GENERIC_READ fails with ERROR_ACCESS_DENIED.
// Differences: only synchronous reads (a non-null overlapped gives ERROR_INVALID_PARAMETER).
WIN32_API BOOL WINAPI ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read,
                               LPOVERLAPPED overlapped);

// Writes all toWrite bytes at the handle's position, extending the file as needed. A handle
// opened without GENERIC_WRITE fails with ERROR_ACCESS_DENIED; a full disk gives
// ERROR_DISK_FULL. Differences: only synchronous writes, as for ReadFile.
WIN32_API BOOL WINAPI WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written,
                                LPOVERLAPPED overlapped);

// Moves the handle's position. Without distanceHigh the distance is a signed 32-bit value;
// with it, distanceHigh holds the high 32 bits of a signed 64-bit distance and receives the
// high 32 bits of the new position. Returns the low 32 bits of the new position and sets the
// last error to 0, so a position whose low part is INVALID_SET_FILE_POINTER is told from a
// failure by GetLastError. A negative result fails with ERROR_NEGATIVE_SEEK; positions past
// the end are allowed. Without distanceHigh, a new position of 4 GiB or more fails (here with
// ERROR_INVALID_PARAMETER, the position unchanged). Failures return INVALID_SET_FILE_POINTER.
WIN32_API DWORD WINAPI SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh,
                                      DWORD moveMethod);

// Size of an open file in bytes.
WIN32_API BOOL WINAPI GetFileSizeEx(HANDLE file, PLARGE_INTEGER size);

// FILE_ATTRIBUTE_DIRECTORY for a folder, FILE_ATTRIBUTE_NORMAL for anything else that exists;
// INVALID_FILE_ATTRIBUTES with ERROR_FILE_NOT_FOUND or ERROR_PATH_NOT_FOUND when nothing has
// that name. Differences: symbolic links are followed; no other attribute is reported.
WIN32_API DWORD WINAPI GetFileAttributesW(LPCWSTR fileName);

// Closes a handle from CreateFileW or CreateThread. An unknown handle fails with
// ERROR_INVALID_HANDLE. Closing a thread handle does not affect the thread.
WIN32_API BOOL WINAPI CloseHandle(HANDLE object);
