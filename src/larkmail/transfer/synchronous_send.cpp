#include "transfer/synchronous_send.h"

#include "log/send_log.h"

namespace SMTPClientNS {

namespace {

// The trace's mode byte (non-zero: text mode). libcurl may call the trace when it frees the
// handle, long after the send that set it, so the byte must outlive every send.
const char kTextMode = 1;

} // namespace

void RenewTracedTransfer(TransferSet& transfer) {
    FreeTransfer(transfer);
    CreateTransfer(transfer);
    if (!transfer.handle)
        return;
    curl_easy_setopt(transfer.handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGFUNCTION, OnCurlDebug);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGDATA, const_cast<char*>(&kTextMode));
}

} // namespace SMTPClientNS
