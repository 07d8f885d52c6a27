// The client's side of the send log: the log file switch, the session text, and writing the
// trace of the last synchronous send.
#include "client/client_state.h"

namespace SMTPClientNS {

void CSmtpClientWrapper::WriteLogFile() {
    trace_.AddSummary(lastResult_, lastInternalResult_);
    trace_.CollectSessionLines(messageList_);
    trace_.WriteLog(logPath_.c_str(), logAppend_);
}

void CSmtpClientWrapper::SetLogFile(const WCHAR* path, bool append) {
    if (!path)
        return;
    logPath_ = path;
    logAppend_ = append;
    // A send has run: its log is written now.
    if (lastResult_ != SMTP_NO_SEND_YET)
        WriteLogFile();
}

const WCHAR* CSmtpClientWrapper::GetSessionText() {
    trace_.AddSummary(lastResult_, lastInternalResult_);
    trace_.CollectSessionLines(messageList_);
    textBuffer_.clear();
    for (const std::string& line : messageList_) {
        WideString wide;
        NarrowToWide(line.c_str(), wide, CP_ACP);
        textBuffer_ += wide;
    }
    return textBuffer_.c_str();
}

const WCHAR* CSmtpClientWrapper::GetLastSessionLine() {
    textBuffer_.clear();
    const std::string& line = trace_.LastServerLine();
    if (!line.empty())
        NarrowToWide(line.c_str(), textBuffer_, CP_ACP);
    return textBuffer_.c_str();
}

} // namespace SMTPClientNS
