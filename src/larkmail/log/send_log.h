// The send log: libcurl's protocol trace of a synchronous send as narrow text records, a
// summary record with the outcome and the local time, and the log file they are written to.
//
// The trace records of a send collect in one process-wide queue; a traced send holds
// TraceLock() from its reset until its log is written, so sends on several threads cannot
// mix their records.
#pragma once

#include <larkmail/larkmail.h>
#include <windows.h>

#include <curl/curl.h>

#include <deque>
#include <mutex>
#include <string>

namespace SMTPClientNS {

typedef std::deque<std::string> LineList;

// Held for a whole traced send, and by everything else that touches the process-wide records.
std::recursive_mutex& TraceLock();

// libcurl's debug callback: informational text (also copied to standard error) and protocol
// data become trace records. userData points to the mode byte (non-zero: text mode).
int OnCurlDebug(CURL* handle, curl_infotype type, char* data, size_t size, void* userData);

// One record of "label: " lines for a block of protocol data. In text mode a line holds up to
// 96 characters and ends at each CR LF; otherwise a hex dump of 16 bytes a line.
void DumpTraceData(const char* label, const unsigned char* data, size_t size, char mode);

// Empties the client's two lists and the process-wide records.
void ResetLog(LineList& messageList, LineList& traceList);

// Queues the summary record of a send whose internal result is internalResult, and sets
// lastResult to the public code for it (0 stays 0). Before any send (internalResult
// SMTP_NO_SEND_YET) the record is written but lastResult keeps SMTP_NO_SEND_YET. Running it
// again for the same send leaves the same lastResult.
void AppendSessionSummary(int& lastResult, int internalResult);

// Moves the queued records to the back of the client's lists.
void CollectLogRecords(LineList& messageList, LineList& traceList);

// Writes the trace list to the log file: appended when the file exists and append is set,
// else the file is created or replaced. Failures leave the file untouched and are not
// reported.
void WriteTraceList(const LineList& traceList, const WCHAR* path, bool append);

} // namespace SMTPClientNS
