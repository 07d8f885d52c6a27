// The client's sends: Send runs the whole transfer on the caller's thread, traced and logged
// when a log file is set; SendAsync hands it to the client's worker.
#include "client/client_state.h"

#include "async/async_task.h"
#include "results/result_table.h"
#include "transfer/send_options.h"
#include "transfer/synchronous_send.h"

#include <memory>

namespace SMTPClientNS {

int CSmtpClientWrapper::Send() {
    // libcurl's trace of this send goes to this client's records.
    TraceBinding traced(trace_);
    lastResult_ = lastInternalResult_ = -1;
    // The previous send's handles live until now, so that its outcome stays inspectable.
    RenewTracedTransfer(transfer_, smtputf8_);
    messageList_.clear();
    trace_.Reset();
    lastResult_ = lastInternalResult_ = ApplySendOptions(transfer_, this);
    if (lastResult_ == 0) {
        // Only a transfer that runs takes the kept connection; other settings close it first.
        connections_.Attach(transfer_.handle, ConnectionSettings(this));
        smtputf8_.Require(transfer_.handle, transfer_.international);
        lastResult_ = lastInternalResult_ =
            smtputf8_.Outcome(connections_.Perform(transfer_.handle));
        // The dialogue becomes the session text, the server's last reply its last line.
        trace_.CollectSessionLines(messageList_);
        if (!logPath_.empty())
            WriteLogFile();
        // A failed transfer goes at once with its connection: nothing may talk to that peer
        // again, and the next send starts on a new connection.
        if (lastInternalResult_ != 0) {
            FreeTransfer(transfer_);
            connections_.Close();
        }
        if (lastResult_ < 0)
            return lastResult_;
    }
    return LookupResultCode(lastResult_);
}

int CSmtpClientWrapper::SendAsync() {
    // Not traced or logged, and the last result stays that of the last synchronous send.
    std::unique_ptr<CAsyncTask, UnqueuedTaskDeleter> task(new CAsyncTask);
    const int taskId = task->ExecuteTask(this, worker_);
    if (taskId > 0)
        task.release(); // queued: the worker and the hidden window own it now
    return taskId;
}

int CSmtpClientWrapper::CancelAsync(int taskId) {
    return worker_.CancelTask(taskId);
}

} // namespace SMTPClientNS
