// One asynchronous send (CAsyncTask) and the interface of its steps (INesting): prepared on
// the calling thread, performed on the client's worker, finished on the thread that owns the
// client's hidden window.
#pragma once

#include "client/transfer_session.h"

#include <larkmail/larkmail.h>

namespace SMTPClientNS {

class CAsyncThread;
struct CAsyncTask;

// The steps of one asynchronous send.
class INesting {
public:
    virtual ~INesting() = default;
    // Calling thread: takes a reference on the client and sets every transfer option.
    virtual void Prepare() = 0;
    // Worker thread: runs the transfer unless the preparation failed.
    virtual void Perform() = 0;
    // Window thread: notifies the callback, drops the reference and frees the task.
    virtual void Finish() = 0;
    virtual void SetTask(CAsyncTask* task) = 0;
    virtual CAsyncTask* GetTask() = 0;
};

// Plain data; everything starts zeroed.
struct CAsyncTask {
    TransferSet transfer;
    ISmtpClient* client = nullptr; // holds one reference from Prepare until Finish
    INesting* step = nullptr;
    int taskId = 0; // written by the worker when it takes the task
    int result = 0; // internal result code

    // Stores the client, creates the step object and queues the task on the worker; returns
    // the new task id.
    int ExecuteTask(ISmtpClient* owner, CAsyncThread& worker);
};

// Frees a task that will not be finished (cancelled): its transfer set, its reference on the
// client, its step object and itself. No notification.
void DiscardTask(CAsyncTask* task);

} // namespace SMTPClientNS
