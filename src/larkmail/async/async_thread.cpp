#include "async/async_thread.h"

#include "async/async_task.h"

#include <utility>
#include <vector>

namespace SMTPClientNS {

namespace {

// Shutdown: how long to wait for the worker, and how often to force it to end.
const DWORD kWorkerExitWaitMs = 1000;
const int kTerminateAttempts = 10;

} // namespace

CAsyncThread::CAsyncThread() : pending_(std::make_shared<PendingTasks>()) {}

CAsyncThread::~CAsyncThread() {
    if (threadId_ != 0)
        PostThreadMessageW(threadId_, WM_ASYNC_QUIT, 0, 0);
    if (window_ && IsWindow(window_)) {
        // Only the owning thread may destroy a window. The last completion destroys the client
        // on that thread; a host may release its client on another one, and then the window
        // is asked to close itself there.
        if (windowThreadId_ == GetCurrentThreadId()) {
            if (DestroyWindow(window_))
                ReleaseWindowClass();
        } else {
            PostMessageW(window_, WM_CLOSE, 0, 0);
        }
    }
    window_ = nullptr;
    if (thread_) {
        if (WaitForSingleObject(thread_, kWorkerExitWaitMs) != WAIT_OBJECT_0) {
            DWORD exitCode = STILL_ACTIVE;
            for (int attempt = 0; attempt < kTerminateAttempts && exitCode == STILL_ACTIVE;
                 ++attempt) {
                TerminateThread(thread_, 1);
                if (!GetExitCodeThread(thread_, &exitCode))
                    break;
            }
        }
        CloseHandle(thread_);
        thread_ = nullptr;
    }
    // Every queued task holds a reference on the client, so none is left when it goes.
}

int CAsyncThread::StartTask(INesting* step, CAsyncTask* task) {
    className_ = ASYNC_WINDOW_NAME;
    windowTitle_ = ASYNC_WINDOW_NAME;
    if (!thread_)
        StartWorker();
    if (!window_)
        CreateHiddenWindow();
    // Without both a queued task would never run or never be finished, and its reference
    // would keep the client alive for good.
    if (!thread_ || !window_)
        return 0;

    step->SetTask(task);
    step->Prepare();

    const int taskId = lastTaskId_ + 1;
    {
        std::lock_guard<std::mutex> lock(pending_->mutex);
        const auto slot = pending_->tasks.emplace(taskId, nullptr).first;
        // Nothing can fail from here: the task is queued and holds its reference on the
        // client. Before this point the caller still owns the task and frees it on failure.
        task->client->AddRef();
        slot->second = task;
    }
    lastTaskId_ = taskId;
    // Fails only without a worker; the task then stays queued until cancelled.
    PostThreadMessageW(threadId_, WM_ASYNC_RUN, 0, taskId);
    return taskId;
}

int CAsyncThread::CancelTask(int taskId) {
    std::vector<CAsyncTask*> removed;
    {
        std::lock_guard<std::mutex> lock(pending_->mutex);
        auto& tasks = pending_->tasks;
        if (taskId != 0) {
            const auto found = tasks.find(taskId);
            if (found != tasks.end()) {
                removed.push_back(found->second);
                tasks.erase(found);
            }
        } else {
            for (const auto& entry : tasks)
                removed.push_back(entry.second);
            tasks.clear();
        }
    }
    // Discarded outside the lock: a task's release of the client must not run under it.
    for (CAsyncTask* task : removed)
        DiscardTask(task);
    return removed.empty() ? -1 : 1;
}

} // namespace SMTPClientNS
