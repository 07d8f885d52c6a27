#include "transfer/synchronous_send.h"

namespace SMTPClientNS {

void RenewTracedTransfer(TransferSet& transfer, Smtputf8Guard& guard) {
    FreeTransfer(transfer);
    CreateTransfer(transfer);
    guard.Observe(transfer.handle, true);
}

} // namespace SMTPClientNS
