// INesting: the steps of one asynchronous send, each run on its own thread.
#pragma once

namespace SMTPClientNS {

struct CAsyncTask;

// The steps of one asynchronous send.
class INesting {
public:
    virtual ~INesting() = default;
    // Calling thread: sets every transfer option (the reference on the client is taken when
    // the task is queued).
    virtual void Prepare() = 0;
    // Worker thread: runs the transfer unless the preparation failed, then frees its transfer
    // set, so that nothing of the task waits on the network for the window thread.
    virtual void Perform() = 0;
    // Window thread: notifies the callback, drops the reference and frees the task.
    virtual void Finish() = 0;
    virtual void SetTask(CAsyncTask* task) = 0;
    virtual CAsyncTask* GetTask() = 0;
};

} // namespace SMTPClientNS
