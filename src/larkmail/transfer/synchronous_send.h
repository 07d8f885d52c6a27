// The transfer of a synchronous send: libcurl's protocol trace goes to the send log.
#pragma once

#include "transfer/connection_cache.h"
#include "transfer/transfer_set.h"

namespace SMTPClientNS {

// Frees the previous send's transfer set and creates a new one whose protocol trace goes to
// the send log in text mode. Call it holding TraceLock(): freeing the old handle may still
// report the end of its connection to the trace. A kept connection that is no longer quiet
// (the server closed it while it was idle) is shut down and closed: the next transfer opens a
// new one instead of failing on it.
void RenewTracedTransfer(TransferSet& transfer, ConnectionCache& connections);

} // namespace SMTPClientNS
