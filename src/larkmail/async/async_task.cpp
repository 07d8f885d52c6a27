#include "async/async_task.h"

#include "async/async_thread.h"
#include "results/result_table.h"
#include "transfer/send_options.h"

namespace SMTPClientNS {

namespace {

void PrepareTask(CAsyncTask& task, INesting* step) {
    task.step = step;
    // The reference on the client is taken when the task is queued (CAsyncThread::StartTask):
    // until then a failure frees the task without touching the client.
    CreateTransfer(task.transfer);
    // No trace and no log: the client's trace belongs to its synchronous sends.
    task.result = IsComplete(task.transfer) ? ApplySendOptions(task.transfer, task.client) : -1;
    if (task.result == 0)
        task.settings = ConnectionSettings(task.client);
}

// On the worker: the transfer over the worker's kept connection, then the end of everything the
// task held of the network, so that its completion only reports and frees memory.
void PerformTask(CAsyncTask* task) {
    if (!task)
        return;
    WorkerConnection* connection = task->connection;
    const bool run = task->result == 0 && connection;
    if (run) {
        CURL* handle = task->transfer.handle;
        connection->smtputf8.Observe(handle, false);
        connection->smtputf8.Require(handle, task->transfer.international);
        connection->kept.Attach(handle, task->settings);
        task->result = connection->smtputf8.Outcome(connection->kept.Perform(handle));
    }
    FreeTransfer(task->transfer);
    // A failed transfer's connection goes with it; the next task connects anew.
    if (run && task->result != 0)
        connection->kept.Close();
    // The settings hold the credentials: keep no copy longer than needed.
    task->settings.assign(task->settings.size(), '\0');
    task->settings.clear();
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
