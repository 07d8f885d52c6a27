#include "log/send_log.h"

#include "results/result_table.h"

#include <windows.h>

#include <algorithm>
#include <cstdarg>
#include <cstdio>

namespace SMTPClientNS {

namespace {

// The process-wide records, created at library load and destroyed at exit.
struct TraceRecords {
    std::string buffer;        // one record being assembled
    LineList traceQueue;       // finished trace and summary records
    LineList sessionLineQueue; // source of the client's message list
};

TraceRecords& Records() {
    static TraceRecords records;
    return records;
}

const char kCrLf[] = "\r\n";

void Append(std::string& buffer, const char* format, ...) __attribute__((format(printf, 2, 3)));
void Append(std::string& buffer, const char* format, ...) {
    char piece[64];
    va_list args;
    va_start(args, format);
    const int n = std::vsnprintf(piece, sizeof piece, format, args);
    va_end(args);
    if (n > 0)
        buffer.append(piece, std::min(size_t(n), sizeof piece - 1));
}

std::string LocalTimeText() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    char text[200];
    std::snprintf(text, sizeof text, "%02d-%02d-%02d %02d:%02d:%02d", now.wYear, now.wMonth,
                  now.wDay, now.wHour, now.wMinute, now.wSecond);
    return text;
}

} // namespace

std::recursive_mutex& TraceLock() {
    static std::recursive_mutex lock;
    return lock;
}

int OnCurlDebug(CURL* /*handle*/, curl_infotype type, char* data, size_t size, void* userData) {
    TraceRecords& records = Records();
    records.buffer.clear();
    switch (type) {
    case CURLINFO_TEXT: {
        std::fwrite(data, 1, size, stderr);
        records.buffer.assign(data, size);
        records.buffer.erase(0, records.buffer.find_first_not_of(' '));
        records.traceQueue.push_back(records.buffer);
        return 0;
    }
    case CURLINFO_HEADER_IN:
    case CURLINFO_DATA_IN:
    case CURLINFO_SSL_DATA_IN:
        DumpTraceData("S", reinterpret_cast<const unsigned char*>(data), size,
                      *static_cast<const char*>(userData));
        return 0;
    case CURLINFO_HEADER_OUT:
    case CURLINFO_DATA_OUT:
    case CURLINFO_SSL_DATA_OUT:
        DumpTraceData("C", reinterpret_cast<const unsigned char*>(data), size,
                      *static_cast<const char*>(userData));
        return 0;
    default:
        return 0;
    }
}

void DumpTraceData(const char* label, const unsigned char* data, size_t size, char mode) {
    TraceRecords& records = Records();
    std::string& out = records.buffer;
    const bool text = mode != 0;
    const long long width = text ? 96 : 16;
    const long long total = static_cast<long long>(size);
    for (long long i = 0; i < total; i += width) {
        Append(out, "%s: ", label);
        if (!text) {
            for (long long c = 0; c < width; ++c) {
                if (i + c < total)
                    Append(out, "%02x ", data[i + c]);
                else
                    out += "    ";
            }
        }
        for (long long c = 0; c < width && i + c < total; ++c) {
            // In text mode a line ends at CR LF; the next line starts right after the pair.
            if (text && i + c + 1 < total && data[i + c] == '\r' && data[i + c + 1] == '\n') {
                i = i + c + 2 - width;
                break;
            }
            const unsigned char byte = data[i + c];
            out += (byte >= 0x20 && byte <= 0x7F) ? char(byte) : '.';
            if (text && i + c + 2 < total && data[i + c + 1] == '\r' && data[i + c + 2] == '\n') {
                i = i + c + 3 - width;
                break;
            }
        }
        out += "\n";
    }
    records.traceQueue.push_back(out);
}

void ResetLog(LineList& messageList, LineList& traceList) {
    TraceRecords& records = Records();
    messageList.clear();
    traceList.clear();
    records.sessionLineQueue.clear();
    records.traceQueue.clear();
    records.buffer.clear();
}

void AppendSessionSummary(int& lastResult, int internalResult) {
    TraceRecords& records = Records();
    const std::string time = LocalTimeText();
    records.buffer.clear();
    if (internalResult != 0) {
        records.buffer += "Error Info: ";
        records.buffer += curl_easy_strerror(static_cast<CURLcode>(internalResult));
        records.buffer += "\n";
        // The public code is derived from the internal one each time, so a repeated summary
        // leaves the same value; before any send there is nothing to map.
        if (internalResult != SMTP_NO_SEND_YET)
            lastResult = LookupResultCode(internalResult);
    } else {
        records.buffer += "Email sent successfully!\n";
        lastResult = 0;
    }
    records.buffer += "End Connnect: " + time + "\n\n";
    records.buffer += std::string(82, '=');
    records.buffer += "\n\n";
    records.traceQueue.push_back(records.buffer);
}

void CollectLogRecords(LineList& messageList, LineList& traceList) {
    TraceRecords& records = Records();
    for (std::string& line : records.sessionLineQueue)
        messageList.push_back(std::move(line));
    records.sessionLineQueue.clear();
    for (std::string& line : records.traceQueue)
        traceList.push_back(std::move(line));
    records.traceQueue.clear();
}

void WriteTraceList(const LineList& traceList, const WCHAR* path, bool append) {
    std::string content;
    for (const std::string& record : traceList)
        content += record;

    HANDLE file = INVALID_HANDLE_VALUE;
    if (GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES && append) {
        file =
            CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
        if (SetFilePointer(file, 0, nullptr, FILE_END) == INVALID_SET_FILE_POINTER &&
            GetLastError() != ERROR_SUCCESS) {
            CloseHandle(file);
            return;
        }
    } else {
        file =
            CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
        if (file == INVALID_HANDLE_VALUE)
            return;
    }
    DWORD written = 0;
    WriteFile(file, content.data(), DWORD(content.size()), &written, nullptr);
    CloseHandle(file);
}

} // namespace SMTPClientNS
