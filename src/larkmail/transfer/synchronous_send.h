// The transfer set of a synchronous send, whose protocol trace goes to the send log.
#pragma once

#include "transfer/smtputf8_guard.h"
#include "transfer/transfer_set.h"

namespace SMTPClientNS {

// Frees the previous send's transfer set (its connection stays with the client's kept
// connection) and makes a new one whose protocol lines go to the guard and the send log. Call
// it with the client's trace bound (TraceBinding): freeing the old handle may still report to
// the trace.
void RenewTracedTransfer(TransferSet& transfer, Smtputf8Guard& guard);

} // namespace SMTPClientNS
