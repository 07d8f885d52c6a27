// The per-client worker for asynchronous sends. It stays idle (no thread, no window) until the
// client's first asynchronous send; then it owns a worker thread that performs the transfers
// one after another, and a hidden window on the thread of that first send, whose message loop
// delivers the completions.
#pragma once

#include "text/wide_text.h"

#include <windows.h>

#include <condition_variable>
#include <map>
#include <memory>
#include <mutex>

namespace SMTPClientNS {

class INesting;
struct CAsyncTask;

// Thread message to the worker: take and run the queued task whose id is lParam.
const UINT WM_ASYNC_RUN = WM_USER + 1000;
// Thread message to the worker: leave its loop.
const UINT WM_ASYNC_QUIT = WM_USER + 1001;
// Message to the hidden window: the transfer of the task in lParam has ended.
const UINT WM_ASYNC_DONE = WM_USER + 4095;

// The class name and title of the hidden window.
extern const WCHAR ASYNC_WINDOW_NAME[];

// The sends queued for the worker and not yet taken by it. Shared by the client's threads and
// the worker, which keeps its own reference: a worker that outlives its client (abandoned at
// shutdown) never touches freed memory.
struct PendingTasks {
    std::mutex mutex;
    std::map<int, CAsyncTask*> tasks;
    HWND window = nullptr; // where the worker posts completions
    bool queueReady = false;
    std::condition_variable queueCreated;
};

class CAsyncThread {
public:
    CAsyncThread();
    virtual ~CAsyncThread();
    CAsyncThread(const CAsyncThread&) = delete;
    CAsyncThread& operator=(const CAsyncThread&) = delete;

    // Prepares the task on the calling thread and queues it for the worker, creating worker
    // and window on first use; returns the new task id (1, 2, ...). The task then holds a
    // reference on its client and belongs to the worker. 0 when worker or window could not
    // be made: the task, like one for which this throws, is still the caller's and holds no
    // reference.
    int StartTask(INesting* step, CAsyncTask* task);
    // Removes one queued task (taskId > 0) or all (0) without notification; 1 if something
    // was removed, -1 otherwise. A task the worker has taken cannot be cancelled.
    int CancelTask(int taskId);

private:
    void StartWorker();
    void CreateHiddenWindow();
    // After a hidden window was destroyed: the last one unregisters the window class.
    static void ReleaseWindowClass();
    static DWORD WINAPI WorkerRoutine(LPVOID parameter);
    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                            LPARAM lParam);

    HWND window_ = nullptr;
    HANDLE thread_ = nullptr;
    DWORD threadId_ = 0;
    WideString className_;
    WideString windowTitle_;
    std::shared_ptr<PendingTasks> pending_;
    int lastTaskId_ = 0;
    DWORD windowThreadId_ = 0; // the thread that owns window_
};

} // namespace SMTPClientNS
