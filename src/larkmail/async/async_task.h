// One asynchronous send: prepared on the calling thread, performed on the client's worker,
// finished on the thread that owns the client's hidden window.
#pragma once

#include "async/nesting.h"
#include "transfer/smtputf8_guard.h"
#include "transfer/transfer_set.h"

#include <larkmail/larkmail.h>

namespace SMTPClientNS {

class CAsyncThread;

// Plain data; everything starts zeroed.
struct CAsyncTask {
    Smtputf8Guard smtputf8; // the task's connection is its own
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
