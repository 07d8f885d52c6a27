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

void FreeTracedTransfer(TransferSet& transfer, ConnectionCache& connections) {
    // Only the handle that used the connection last can tell, and only while it exists. Shut
    // down first, a stale connection's QUIT fails at once instead of waiting for the peer.
    const bool quiet = IsConnectionQuiet(transfer.handle);
    if (!quiet)
        DropConnection(transfer.handle);
    FreeTransfer(transfer);
    if (!quiet)
        connections.Close();
}

void RenewTracedTransfer(TransferSet& transfer, ConnectionCache& connections) {
    FreeTracedTransfer(transfer, connections);
    CreateTransfer(transfer);
    if (!transfer.handle)
        return;
    curl_easy_setopt(transfer.handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGFUNCTION, OnCurlDebug);
    curl_easy_setopt(transfer.handle, CURLOPT_DEBUGDATA, const_cast<char*>(&kTextMode));
}

} // namespace SMTPClientNS
