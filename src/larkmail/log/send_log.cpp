#include "log/send_log.h"

#include "log/trace_formatter.h"
#include "platform/owner_only_file.h"
#include "results/result_table.h"

#include <cstdio>
#include <string_view>

namespace SMTPClientNS {

namespace {

thread_local SendTrace* boundTrace = nullptr;

// Pieces are gathered up to this size before each write to the log file.
const size_t kWritePiece = 1024 * 1024;

std::string LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[200];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

HANDLE OpenLogFile(const WCHAR* path, bool append) {
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && append) {
        HANDLE file =
            CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return file;
        if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != ERROR_SUCCESS) {
            CloseHandle(file);
            return INVALID_HANDLE_VALUE;
        }
        return file;
    }
    return CreateOwnerOnlyFile(path);
}

} // namespace

void SendTrace::AddCurlEvent(curl_infotype type, const char* data, size_t size, char mode) {
    const auto* bytes = reinterpret_cast<const unsigned char*>(data);
    switch (type) {
    case CURLINFO_TEXT: {
        std::fwrite(data, 1, size, stderr);
        size_t start = 0;
        while (start < size && data[start] == ' ')
            ++start;
        records_.Add(data + start, size - start);
        AddDataCount();
        if (start < size)
            sessionLines_.emplace_back(data + start, size - start);
        return;
    }
    case CURLINFO_HEADER_IN: {
        mask_.NoteServerLines(data, size);
        AddData("S", bytes, size, mode);
        AddSessionData("S", data, size, mode);
        if (quitSent_)
            return;
        // The last line of the reply, without its line end.
        std::string_view reply(data, size);
        while (!reply.empty() && (reply.back() == '\n' || reply.back() == '\r'))
            reply.remove_suffix(1);
        const size_t lineStart = reply.find_last_of("\r\n");
        if (!reply.empty())
            lastServerLine_.assign(reply.substr(lineStart == reply.npos ? 0 : lineStart + 1));
        return;
    }
    case CURLINFO_DATA_IN:
        AddData("S", bytes, size, mode);
        AddSessionData("S", data, size, mode);
        return;
    case CURLINFO_SSL_DATA_IN:
        AddData("S", bytes, size, mode);
        return;
    case CURLINFO_HEADER_OUT:
        quitSent_ = quitSent_ || std::string_view(data, size).substr(0, 4) == "QUIT";
        // Commands: an authentication exchange is shown without its secrets.
        if (mask_.MaskClientLines(data, size, masked_)) {
            AddData("C", reinterpret_cast<const unsigned char*>(masked_.data()), masked_.size(),
                    mode);
            AddSessionData("C", masked_.data(), masked_.size(), mode);
            masked_.clear();
            return;
        }
        AddData("C", bytes, size, mode);
        AddSessionData("C", data, size, mode);
        return;
    case CURLINFO_DATA_OUT:
        AddData("C", bytes, size, mode);
        dataBytesSent_ += size;
        return;
    case CURLINFO_SSL_DATA_OUT:
        AddData("C", bytes, size, mode);
        return;
    default:
        return;
    }
}

void SendTrace::AddSessionData(const char* label, const char* data, size_t size, char mode) {
    AddDataCount();
    std::string lines;
    FormatTraceData(label, reinterpret_cast<const unsigned char*>(data), size, mode, lines);
    for (size_t start = 0; start < lines.size();) {
        const size_t end = lines.find('\n', start);
        const size_t next = end == std::string::npos ? lines.size() : end + 1;
        sessionLines_.push_back(lines.substr(start, next - start));
        start = next;
    }
}

void SendTrace::AddDataCount() {
    if (dataBytesSent_ == 0)
        return;
    sessionLines_.push_back("C: (" + std::to_string(dataBytesSent_) + " bytes of message data)\n");
    dataBytesSent_ = 0;
}

void SendTrace::AddData(const char* label, const unsigned char* data, size_t size, char mode) {
    records_.AddData(label[0], mode, data, size);
}

void SendTrace::AddSummary(int& lastResult, int internalResult) {
    const std::string time = LocalTimeText();
    buffer_.clear();
    if (internalResult != 0) {
        buffer_ += "Error Info: ";
        buffer_ += curl_easy_strerror(static_cast<CURLcode>(internalResult));
        buffer_ += "\n";
        // The public code is derived from the internal one each time, so a repeated summary
        // leaves the same value; before any send there is nothing to map.
        if (internalResult != SMTP_NO_SEND_YET)
            lastResult = LookupResultCode(internalResult);
    } else {
        buffer_ += "Email sent successfully!\n";
        lastResult = 0;
    }
    buffer_ += "End Connnect: " + time + "\n\n";
    buffer_.append(82, '=');
    buffer_ += "\n\n";
    records_.Add(buffer_);
}

void SendTrace::Reset() {
    records_.Clear();
    LineList().swap(sessionLines_);
    dataBytesSent_ = 0;
    std::string().swap(lastServerLine_);
    quitSent_ = false;
    std::string().swap(buffer_);
    std::string().swap(masked_);
    mask_.Reset();
}

void SendTrace::CollectSessionLines(LineList& messages) {
    AddDataCount();
    for (std::string& line : sessionLines_)
        messages.push_back(std::move(line));
    sessionLines_.clear();
}

void SendTrace::WriteLog(const WCHAR* path, bool append) {
    HANDLE file = OpenLogFile(path, append);
    if (file == INVALID_HANDLE_VALUE)
        return;
    // The records go out in pieces of about a megabyte; what the file holds at the end is
    // their concatenation, as if written at once.
    std::string piece;
    piece.reserve(kWritePiece);
    auto flush = [&] {
        DWORD written = 0;
        WriteFile(file, piece.data(), DWORD(piece.size()), &written, nullptr);
        piece.clear();
    };
    records_.Stream([&](const char* data, size_t size) {
        if (piece.size() + size > kWritePiece && !piece.empty())
            flush();
        if (size >= kWritePiece) {
            DWORD written = 0;
            WriteFile(file, data, DWORD(size), &written, nullptr);
        } else {
            piece.append(data, size);
        }
        return true;
    });
    if (!piece.empty())
        flush();
    CloseHandle(file);
}

TraceBinding::TraceBinding(SendTrace& trace) : previous_(boundTrace) {
    boundTrace = &trace;
}

TraceBinding::~TraceBinding() {
    boundTrace = previous_;
}

SendTrace& CurrentTrace() {
    if (boundTrace)
        return *boundTrace;
    thread_local SendTrace own;
    return own;
}

int OnCurlDebug(CURL* /*handle*/, curl_infotype type, char* data, size_t size, void* userData) {
    CurrentTrace().AddCurlEvent(type, data, size, *static_cast<const char*>(userData));
    return 0;
}

void DumpTraceData(const char* label, const unsigned char* data, size_t size, char mode) {
    CurrentTrace().AddData(label, data, size, mode);
}

void ResetLog(LineList& messageList, LineList& traceList) {
    messageList.clear();
    traceList.clear();
    CurrentTrace().Reset();
}

void AppendSessionSummary(int& lastResult, int internalResult) {
    CurrentTrace().AddSummary(lastResult, internalResult);
}

void CollectLogRecords(LineList& messageList, LineList& traceList) {
    SendTrace& trace = CurrentTrace();
    trace.CollectSessionLines(messageList);
    trace.MoveRecordsTo(traceList);
}

} // namespace SMTPClientNS
