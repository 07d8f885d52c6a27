#include "transfer/synchronous_send.h"

#include "platform/connection_drop.h"
#include "platform/connection_probe.h"

namespace SMTPClientNS {

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

void RenewTracedTransfer(TransferSet& transfer, ConnectionCache& connections,
                         Smtputf8Guard& guard) {
    FreeTracedTransfer(transfer, connections);
    CreateTransfer(transfer);
    guard.Observe(transfer.handle, true);
}

} // namespace SMTPClientNS
