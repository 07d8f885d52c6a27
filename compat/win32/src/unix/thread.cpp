// Win32 threads over POSIX threads. Each thread is described by a ThreadObject shared by its
// handle (while open) and the running thread; the handle is the object's address, validated
// through a process-wide table. Waiting uses the object's condition variable. Closing the
// handle of a thread whose routine has returned joins the POSIX thread, so that it has fully
// ended (thread-local destructors included) before the caller goes on; any other thread is
// detached when its handle is closed and ends on its own.
#include "thread_handles.h"

#include <windows.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <new>
#include <pthread.h>
#include <unordered_map>

namespace {

struct ThreadObject {
    LPTHREAD_START_ROUTINE start = nullptr;
    LPVOID parameter = nullptr;
    DWORD id = 0;
    pthread_t posixThread{};
    std::mutex mutex;
    std::condition_variable ended;
    bool finished = false;
    bool abandoned = false; // by TerminateThread
    bool returned = false;  // the routine has returned
    DWORD exitCode = STILL_ACTIVE;
};

struct ThreadTable {
    std::mutex mutex;
    std::unordered_map<HANDLE, std::shared_ptr<ThreadObject>> threads;
};

// Never destroyed: detached threads may still end while the process exits.
ThreadTable& Table() {
    static ThreadTable* table = new ThreadTable;
    return *table;
}

// Ids are multiples of 4 as on Windows, from one counter so that none is reused.
std::atomic<DWORD> nextThreadId{4};
std::atomic<DWORD> createdThreads{0};
thread_local DWORD currentThreadId = 0;

DWORD NewThreadId() {
    return nextThreadId.fetch_add(4, std::memory_order_relaxed);
}

std::shared_ptr<ThreadObject> Find(HANDLE handle) {
    ThreadTable& table = Table();
    std::lock_guard<std::mutex> lock(table.mutex);
    const auto found = table.threads.find(handle);
    if (found == table.threads.end())
        return nullptr;
    return found->second;
}

void Finish(ThreadObject& thread, DWORD exitCode, bool returned) {
    std::lock_guard<std::mutex> lock(thread.mutex);
    thread.returned = thread.returned || returned;
    if (thread.finished)
        return; // abandoned by TerminateThread: its exit code stays
    thread.finished = true;
    thread.abandoned = !returned;
    thread.exitCode = exitCode;
    thread.ended.notify_all();
}

void* RunThread(void* argument) {
    std::unique_ptr<std::shared_ptr<ThreadObject>> owner(
        static_cast<std::shared_ptr<ThreadObject>*>(argument));
    ThreadObject& thread = **owner;
    currentThreadId = thread.id;
    const DWORD result = thread.start(thread.parameter);
    Finish(thread, result, true);
    return nullptr;
}

} // namespace

namespace win32compat {

bool CloseThreadHandle(HANDLE handle) {
    std::shared_ptr<ThreadObject> thread;
    {
        ThreadTable& table = Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        const auto found = table.threads.find(handle);
        if (found == table.threads.end())
            return false;
        thread = found->second;
        table.threads.erase(found);
    }
    bool returned;
    {
        std::lock_guard<std::mutex> lock(thread->mutex);
        returned = thread->returned;
    }
    if (returned && !pthread_equal(thread->posixThread, pthread_self()))
        pthread_join(thread->posixThread, nullptr);
    else
        pthread_detach(thread->posixThread);
    return true;
}

} // namespace win32compat

HANDLE WINAPI CreateThread(LPSECURITY_ATTRIBUTES, SIZE_T stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD creationFlags, LPDWORD threadId) {
    if (!start || creationFlags != 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    // Out of memory is a failed call, as on Windows, never an exception, and leaves nothing
    // in the table.
    std::shared_ptr<ThreadObject> thread;
    std::unique_ptr<std::shared_ptr<ThreadObject>> argument;
    HANDLE handle = nullptr;
    try {
        thread = std::make_shared<ThreadObject>();
        argument = std::make_unique<std::shared_ptr<ThreadObject>>(thread);
        thread->start = start;
        thread->parameter = parameter;
        thread->id = NewThreadId();
        handle = thread.get();
        ThreadTable& table = Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        table.threads.emplace(handle, thread);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }

    pthread_attr_t attributes;
    pthread_attr_init(&attributes);
    if (stackSize != 0)
        pthread_attr_setstacksize(&attributes, stackSize); // too small: the default stays
    // posixThread is read only by CloseHandle, after this call has returned.
    const int error = pthread_create(&thread->posixThread, &attributes, RunThread, argument.get());
    pthread_attr_destroy(&attributes);
    if (error != 0) {
        ThreadTable& table = Table();
        std::lock_guard<std::mutex> lock(table.mutex);
        table.threads.erase(handle);
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    argument.release(); // the new thread owns it
    createdThreads.fetch_add(1, std::memory_order_relaxed);
    if (threadId)
        *threadId = thread->id;
    return handle;
}

DWORD WINAPI WaitForSingleObject(HANDLE handle, DWORD milliseconds) {
    const std::shared_ptr<ThreadObject> thread = Find(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return WAIT_FAILED;
    }
    std::unique_lock<std::mutex> lock(thread->mutex);
    const auto hasEnded = [&] { return thread->finished; };
    if (milliseconds == INFINITE) {
        thread->ended.wait(lock, hasEnded);
        return WAIT_OBJECT_0;
    }
    return thread->ended.wait_for(lock, std::chrono::milliseconds(milliseconds), hasEnded)
               ? WAIT_OBJECT_0
               : WAIT_TIMEOUT;
}

BOOL WINAPI GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    const std::shared_ptr<ThreadObject> thread = Find(handle);
    if (!thread || !exitCode) {
        SetLastError(thread ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(thread->mutex);
    *exitCode = thread->exitCode;
    return TRUE;
}

BOOL WINAPI TerminateThread(HANDLE handle, DWORD exitCode) {
    const std::shared_ptr<ThreadObject> thread = Find(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    Finish(*thread, exitCode, false);
    return TRUE;
}

DWORD WINAPI GetCurrentThreadId(void) {
    if (currentThreadId == 0)
        currentThreadId = NewThreadId();
    return currentThreadId;
}

DWORD WINAPI Win32CompatCreatedThreadCount(void) {
    return createdThreads.load(std::memory_order_relaxed);
}
