// The transfer of a synchronous send: libcurl's protocol trace goes to the send log.
#pragma once

#include "transfer/transfer_set.h"

namespace SMTPClientNS {

// Frees the previous send's transfer set and creates a new one whose protocol trace goes to
// the send log in text mode. Call it with the client's trace bound (TraceBinding): freeing the
// old handle may still report the end of its connection to the trace.
void RenewTracedTransfer(TransferSet& transfer);

} // namespace SMTPClientNS
