#include "transfer/synchronous_send.h"

#include "log/send_log.h"
#include "platform/connection_drop.h"
#include "platform/connection_probe.h"

namespace SMTPClientNS {

namespace {

// The trace's mode byte (non-zero: text mode). libcurl may call the trace when it frees the
// handle, long after the send that set it, so the byte must outlive every send.
const char kTextMode = 1;

} // namespace

void RenewTracedTransfer(TransferSet& transfer, ConnectionCache& connections) {
    // Asked through the handle that used the connection last, while it still exists. Shut down
    // first, the stale connection's QUIT fails at once instead of waiting for the peer.
    const bool stale = !IsConnectionQuiet(transfer.handle);
    if (stale)
        DropConnection(transfer.handle);
    FreeTransfer(transfer);
    if (stale)
        connections.Close();
    CreateTransfer(transfer);
    if (!transfer.handle)
        return;
    curl_easy_setopt(transfer.handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGFUNCTION, OnCurlDebug);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGDATA, const_cast<char*>(&kTextMode));
}

} // namespace SMTPClientNS
