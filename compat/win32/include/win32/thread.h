// Threads: CreateThread, WaitForSingleObject, GetExitCodeThread, TerminateThread,
// GetCurrentThreadId. Thread handles are closed with CloseHandle (file.h).
#pragma once

#include "file.h"
#include "types.h"

#define INFINITE 0xFFFFFFFFUL
#define STILL_ACTIVE 259UL
#define WAIT_OBJECT_0 0x00000000UL
#define WAIT_TIMEOUT 0x00000102UL
#define WAIT_FAILED 0xFFFFFFFFUL
#define CREATE_SUSPENDED 0x00000004UL

typedef DWORD(WINAPI* LPTHREAD_START_ROUTINE)(LPVOID parameter);

// Starts a thread at once that runs start(parameter); returns its handle and stores its id.
// Windows behaviour reproduced: stackSize 0 means the default stack; the handle is signalled
// (WaitForSingleObject) when the routine returns, and the exit code is its result. Thread ids
// are non-zero and are not reused while the process runs.
// Differences: CREATE_SUSPENDED and other flags fail with ERROR_INVALID_PARAMETER; security
// attributes are ignored; ExitThread does not exist, a thread ends by returning.
WIN32_API HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES security, SIZE_T stackSize,
                                     LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                     DWORD creationFlags, LPDWORD threadId);

// Waits until the thread behind the handle has ended (WAIT_OBJECT_0) or milliseconds have
// passed (WAIT_TIMEOUT); INFINITE waits without limit, 0 only tests. An unknown handle gives
// WAIT_FAILED with ERROR_INVALID_HANDLE.
// Difference: only thread handles can be waited for.
WIN32_API DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds);

// STILL_ACTIVE while the thread runs, then its exit code (the routine's result, or the code
// given to TerminateThread).
WIN32_API BOOL WINAPI GetExitCodeThread(HANDLE thread, LPDWORD exitCode);

// Windows ends the thread at once, wherever it is. That is unsafe on Windows already (locks
// it holds stay held) and POSIX has no safe equivalent: pthread_cancel unwinds C++ frames and
// library code (libcurl, the C library's locks) that are not written for cancellation and can
// leave the process in an undefined state.
// What this layer does instead: the thread is marked abandoned. Its handle is signalled at
// once and its exit code becomes exitCode, so waiters and GetExitCodeThread see it ended, as
// on Windows; the POSIX thread itself runs on until its routine returns, and that result is
// then discarded (closing the handle first detaches it). Callers must therefore not free anything
// the abandoned routine still uses. A thread that has ended already is left as it is (TRUE).
WIN32_API BOOL WINAPI TerminateThread(HANDLE thread, DWORD exitCode);

// The id of the calling thread: the id CreateThread reported for threads it started; other
// threads (the main thread, threads started by other means) get one on first use.
WIN32_API DWORD WINAPI GetCurrentThreadId(void);

// Not a Windows function; for tests of code that must not start threads: how many threads
// CreateThread has started in this process.
WIN32_API DWORD WINAPI Win32CompatCreatedThreadCount(void);
