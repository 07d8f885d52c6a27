// The transfer of a synchronous send: libcurl's protocol trace goes to the send log.
#pragma once

#include "transfer/connection_cache.h"
#include "transfer/smtputf8_guard.h"
#include "transfer/transfer_set.h"

namespace SMTPClientNS {

// Frees the previous send's transfer set. The connection it leaves in the cache stays open
// only when that handle shows it open and quiet; otherwise it is closed (shut down first if
// the server closed it while it was idle, or is closing it), so that the next transfer opens a
// new one instead of failing on it. A send refused before connecting thus costs the kept
// connection: its handle cannot tell whether the connection is still good.
void FreeTracedTransfer(TransferSet& transfer, ConnectionCache& connections);

// FreeTracedTransfer, then a new transfer set whose protocol lines go to the guard and the send
// log. Call it with the client's trace bound (TraceBinding): freeing the old handle may still
// report the end of its connection to the trace.
void RenewTracedTransfer(TransferSet& transfer, ConnectionCache& connections, Smtputf8Guard& guard);

} // namespace SMTPClientNS
