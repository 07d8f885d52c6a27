// Send: the whole transfer on the caller's thread, traced, and logged when a log file is set.
#include "client/client_state.h"

#include "results/result_table.h"

namespace SMTPClientNS {

int CSmtpClientWrapper::Send() {
    // The trace records are process-wide: one traced send at a time.
    std::lock_guard<std::recursive_mutex> traced(TraceLock());
    lastResult_ = lastInternalResult_ = -1;
    // The previous send's handles live until now, so that its outcome stays inspectable.
    FreeTransfer(transfer_);
    CreateTransfer(transfer_);
    ResetLog(messageList_, traceList_);
    char textMode = 1; // lives until the transfer has ended
    if (transfer_.handle) {
        curl_easy_setopt(transfer_.handle, CURLOPT_VERBOSE, 1L);
        curl_easy_setopt(transfer_.handle, CURLOPT_DEBUGFUNCTION, OnCurlDebug);
        curl_easy_setopt(transfer_.handle, CURLOPT_DEBUGDATA, &textMode);
    }
    lastResult_ = lastInternalResult_ = ApplySendOptions(transfer_, this);
    if (lastResult_ == 0) {
        lastResult_ = lastInternalResult_ = curl_easy_perform(transfer_.handle);
        if (!logPath_.empty())
            WriteLogFile();
        if (lastResult_ < 0)
            return lastResult_;
    }
    return LookupResultCode(lastResult_);
}

} // namespace SMTPClientNS
