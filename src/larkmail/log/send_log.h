// The send log: libcurl's protocol trace of a synchronous send as narrow text records, a
// summary record with the outcome and the local time, and the log file they are written to.
//
// Each client has its own trace (SendTrace). The trace that libcurl's callback and the free
// functions below work on is the one bound to the calling thread (TraceBinding), so traced
// sends of different clients run side by side without a common lock; a thread with no
// binding uses a trace of its own.
#pragma once

#include "log/credential_mask.h"
#include "log/trace_records.h"

#include <larkmail/larkmail.h>
#include <windows.h>

#include <curl/curl.h>

#include <string>

namespace SMTPClientNS {

// The records of one client's last synchronous send, and the client's session lines.
class SendTrace {
public:
    SendTrace() = default;
    SendTrace(const SendTrace&) = delete;
    SendTrace& operator=(const SendTrace&) = delete;

    // One event reported by libcurl's debug callback (see OnCurlDebug).
    void AddCurlEvent(curl_infotype type, const char* data, size_t size, char mode);
    // One record of "label: " lines for a block of protocol data (see DumpTraceData); the
    // label is one letter.
    void AddData(const char* label, const unsigned char* data, size_t size, char mode);
    // The summary record (see AppendSessionSummary).
    void AddSummary(int& lastResult, int internalResult);
    // Empties the records and the session lines and frees what they held.
    void Reset();
    // Moves the session lines to the back of messages: the dialogue as the log shows it
    // (secrets masked), with one line that counts the bytes of message data in place of the
    // data itself, and without the TLS records.
    void CollectSessionLines(LineList& messages);
    // The server's last reply line before the client's QUIT (without label and line end).
    const std::string& LastServerLine() const { return lastServerLine_; }
    // Moves the records to the back of list (see CollectLogRecords).
    void MoveRecordsTo(LineList& list) { records_.MoveTo(list); }
    // Writes all records to the log file: appended when the file exists and append is set,
    // else the file is created or replaced (a new file is readable by its owner only).
    // Failures leave the file untouched and are not reported.
    void WriteLog(const WCHAR* path, bool append);

private:
    // One block of protocol data as session lines, after the count of data sent before it.
    void AddSessionData(const char* label, const char* data, size_t size, char mode);
    void AddDataCount();

    TraceRecords records_;
    LineList sessionLines_;
    unsigned long long dataBytesSent_ = 0; // message data not yet counted in a session line
    std::string lastServerLine_;
    bool quitSent_ = false;
    std::string buffer_; // the summary record being assembled
    std::string masked_; // client lines with their credentials masked
    CredentialMask mask_;
};

// Binds a trace to the calling thread for the binding's lifetime (bindings nest).
class TraceBinding {
public:
    explicit TraceBinding(SendTrace& trace);
    ~TraceBinding();
    TraceBinding(const TraceBinding&) = delete;
    TraceBinding& operator=(const TraceBinding&) = delete;

private:
    SendTrace* previous_;
};

// The trace bound to the calling thread, else the thread's own.
SendTrace& CurrentTrace();

// libcurl's debug callback: informational text (also copied to standard error) and protocol
// data become records of the current trace; credentials in the client's authentication lines
// are masked. userData points to the mode byte (non-zero: text mode).
int OnCurlDebug(CURL* handle, curl_infotype type, char* data, size_t size, void* userData);

// One record of "label: " lines for a block of protocol data. In text mode a line holds up to
// 96 characters and ends at each CR LF; otherwise a hex dump of 16 bytes a line.
void DumpTraceData(const char* label, const unsigned char* data, size_t size, char mode);

// Empties the two lists and the current trace.
void ResetLog(LineList& messageList, LineList& traceList);

// Adds the summary record of a send whose internal result is internalResult to the current
// trace, and sets lastResult to the public code for it (0 stays 0). Before any send
// (internalResult SMTP_NO_SEND_YET) the record is written but lastResult keeps
// SMTP_NO_SEND_YET. Running it again for the same send leaves the same lastResult.
void AppendSessionSummary(int& lastResult, int internalResult);

// Moves the current trace's session lines and records to the back of the two lists.
void CollectLogRecords(LineList& messageList, LineList& traceList);

} // namespace SMTPClientNS
