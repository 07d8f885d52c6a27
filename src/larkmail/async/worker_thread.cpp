// The worker thread of a client: it takes the queued sends one after another, performs their
// transfers and posts each finished task to the client's hidden window.
#include "async/async_thread.h"

#include "async/async_task.h"

#include <memory>
#include <utility>

namespace SMTPClientNS {

void CAsyncThread::StartWorker() {
    auto parameter = std::make_unique<std::shared_ptr<PendingTasks>>(pending_);
    thread_ = CreateThread(nullptr, 0, WorkerRoutine, parameter.get(), 0, &threadId_);
    if (!thread_) {
        threadId_ = 0;
        return;
    }
    parameter.release(); // the worker owns it now
    // A run message posted before the worker has its queue would be lost.
    std::unique_lock<std::mutex> lock(pending_->mutex);
    pending_->queueCreated.wait(lock, [&] { return pending_->queueReady; });
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

    // The connection kept between tasks; closed (QUIT to a healthy peer) when the loop ends.
    WorkerConnection connection;
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
        task->connection = &connection;
        if (task->step)
            task->step->Perform();
        task->connection = nullptr;
        PostMessageW(window, WM_ASYNC_DONE, 0, reinterpret_cast<LPARAM>(task));
    }
    connection.kept.Close();
    return 0;
}

} // namespace SMTPClientNS
