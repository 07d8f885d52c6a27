#include "client/async_thread.h"

#include "client/async_task.h"

#include <utility>
#include <vector>

namespace SMTPClientNS {

const WCHAR ASYNC_WINDOW_NAME[] = TEXT("SmtpClientAsyncThreadWindow");

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
        if (windowThreadId_ == GetCurrentThreadId())
            DestroyWindow(window_);
        else
            PostMessageW(window_, WM_CLOSE, 0, 0);
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

    step->SetTask(task);
    step->Prepare();

    int taskId;
    {
        std::lock_guard<std::mutex> lock(pending_->mutex);
        taskId = ++lastTaskId_;
        pending_->tasks[taskId] = task;
    }
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

void CAsyncThread::StartWorker() {
    auto* parameter = new std::shared_ptr<PendingTasks>(pending_);
    thread_ = CreateThread(nullptr, 0, WorkerRoutine, parameter, 0, &threadId_);
    if (!thread_) {
        delete parameter;
        threadId_ = 0;
        return;
    }
    // A run message posted before the worker has its queue would be lost.
    std::unique_lock<std::mutex> lock(pending_->mutex);
    pending_->queueCreated.wait(lock, [&] { return pending_->queueReady; });
}

void CAsyncThread::CreateHiddenWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className_.c_str();
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;
    window_ = CreateWindowExW(0, className_.c_str(), windowTitle_.c_str(), 0, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_)
        windowThreadId_ = GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(pending_->mutex);
    pending_->window = window_;
}

DWORD WINAPI CAsyncThread::WorkerRoutine(LPVOID parameter) {
    std::shared_ptr<PendingTasks> pending;
    {
        auto* shared = static_cast<std::shared_ptr<PendingTasks>*>(parameter);
        pending = std::move(*shared);
        delete shared;
    }
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // creates this thread's queue
    {
        std::lock_guard<std::mutex> lock(pending->mutex);
        pending->queueReady = true;
    }
    pending->queueCreated.notify_all();

    // 0: the system's quit message; -1: an error. Both end the loop.
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (msg.message == WM_ASYNC_QUIT)
            break;
        if (msg.message != WM_ASYNC_RUN)
            continue;
        CAsyncTask* task = nullptr;
        HWND window = nullptr;
        {
            std::lock_guard<std::mutex> lock(pending->mutex);
            const auto found = pending->tasks.find(int(msg.lParam));
            if (found == pending->tasks.end())
                continue; // cancelled
            task = found->second;
            pending->tasks.erase(found);
            window = pending->window;
        }
        task->taskId = int(msg.lParam);
        if (task->step)
            task->step->Perform();
        PostMessageW(window, WM_ASYNC_DONE, 0, reinterpret_cast<LPARAM>(task));
    }
    return 0;
}

LRESULT CALLBACK CAsyncThread::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_CREATE)
        return 1;
    if (message == WM_ASYNC_DONE) {
        auto* task = reinterpret_cast<CAsyncTask*>(lParam);
        if (task && task->step) {
            // Finish frees the task (and may destroy this window); the step object goes last.
            INesting* step = task->step;
            step->Finish();
            delete step;
        }
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace SMTPClientNS
