// One asynchronous send: prepared on the calling thread, performed on the client's worker,
// finished on the thread that owns the client's hidden window.
#pragma once

#include "async/nesting.h"
#include "transfer/kept_connection.h"
#include "transfer/smtputf8_guard.h"
#include "transfer/transfer_set.h"

#include <larkmail/larkmail.h>

#include <string>

namespace SMTPClientNS {

class CAsyncThread;

// What the worker keeps between the tasks it performs: its connection, and what the server of
// that connection offered. Used on the worker's thread only.
struct WorkerConnection {
    KeptConnection kept;
    Smtputf8Guard smtputf8;
};

// Plain data; everything starts zeroed.
struct CAsyncTask {
    TransferSet transfer;
    std::string settings; // the connection settings, read when the task is prepared
    WorkerConnection* connection = nullptr; // set by the worker before Perform
    ISmtpClient* client = nullptr;          // holds one reference from its queueing until Finish
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

// Frees a task that never reached the worker's queue, and so holds no reference on its
// client: its transfer set, its step object and itself.
void FreeUnqueuedTask(CAsyncTask* task);

// Owns a task until the worker's queue takes it.
struct UnqueuedTaskDeleter {
    void operator()(CAsyncTask* task) const { FreeUnqueuedTask(task); }
};

} // namespace SMTPClientNS
