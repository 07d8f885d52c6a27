#include "async/async_task.h"

#include "async/async_thread.h"
#include "transfer/send_options.h"
#include "results/result_table.h"

namespace SMTPClientNS {

namespace {

void PrepareTask(CAsyncTask& task, INesting* step) {
    task.step = step;
    // The reference on the client is taken when the task is queued (CAsyncThread::StartTask):
    // until then a failure frees the task without touching the client.
    CreateTransfer(task.transfer);
    // No trace and no log: the process-wide trace belongs to synchronous sends.
    task.result = IsComplete(task.transfer) ? ApplySendOptions(task.transfer, task.client) : -1;
}

void PerformTask(CAsyncTask* task) {
    if (task && task->result == 0)
        task->result = PerformTransfer(task->transfer);
}

void FinishTask(CAsyncTask* task) {
    if (!task)
        return;
    ISendCallback* callback = task->client ? task->client->GetCallback() : nullptr;
    if (callback) {
        callback->OnSendComplete(task->taskId, LookupResultCode(task->result),
                                 LookupResultMessage(task->result));
    }
    // May destroy the client state, and with it the window whose procedure runs this.
    if (task->client)
        task->client->Release();
    FreeTransfer(task->transfer);
    delete task;
}

} // namespace

int CAsyncTask::ExecuteTask(ISmtpClient* owner, CAsyncThread& worker) {
    // The steps of this send; each only forwards to the task it was given.
    class CNestingImp : public INesting {
    public:
        void Prepare() override { PrepareTask(*task_, this); }
        void Perform() override { PerformTask(task_); }
        void Finish() override { FinishTask(task_); }
        void SetTask(CAsyncTask* task) override { task_ = task; }
        CAsyncTask* GetTask() override { return task_; }

    private:
        CAsyncTask* task_ = nullptr;
    };

    client = owner;
    // Owned by the task from here on, so that a failure before the task is queued frees it.
    step = new CNestingImp;
    return worker.StartTask(step, this);
}

void DiscardTask(CAsyncTask* task) {
    if (task->client)
        task->client->Release();
    FreeUnqueuedTask(task);
}

void FreeUnqueuedTask(CAsyncTask* task) {
    FreeTransfer(task->transfer);
    delete task->step;
    delete task;
}

} // namespace SMTPClientNS
