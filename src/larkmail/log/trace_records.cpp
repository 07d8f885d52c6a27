#include "log/trace_records.h"

#include "log/trace_formatter.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace SMTPClientNS {

namespace {

// A stored record is a header (its size, its kind and its mode) followed by its bytes.
const size_t kHeader = sizeof(uint32_t) + 2;
// Larger records are stored as several (only text is ever that large).
const size_t kMaxRecord = size_t(1) << 30;
const char kText = 0;
const size_t kReadPiece = 1024 * 1024;
// The records in memory are kept in blocks of this size (or of one larger record).
const size_t kBlock = 64 * 1024;
// Formatted records are passed on in pieces of about this size.
const size_t kStreamPiece = 256 * 1024;

void AppendRecord(char kind, char mode, const char* data, size_t size, std::string& out) {
    if (kind == kText) {
        out.append(data, size);
        return;
    }
    const char label[2] = {kind, 0};
    FormatTraceData(label, reinterpret_cast<const unsigned char*>(data), size, mode, out);
}

} // namespace

void TraceRecords::Add(const char* text, size_t size) {
    AddEntry(kText, 0, text, size);
}

void TraceRecords::AddData(char label, char mode, const unsigned char* data, size_t size) {
    AddEntry(label, mode, reinterpret_cast<const char*>(data), size);
}

void TraceRecords::AddEntry(char kind, char mode, const char* data, size_t size) {
    do {
        const size_t part = std::min(size, kMaxRecord);
        char header[kHeader];
        const uint32_t stored = uint32_t(part);
        std::memcpy(header, &stored, sizeof stored);
        header[sizeof stored] = kind;
        header[sizeof stored + 1] = mode;
        const size_t total = kHeader + part;
        if (spillFailed_) {
            tail_.append(header, kHeader).append(data, part);
        } else if (!Spilled() && headBytes_ + part <= memoryBound_) {
            if (head_.empty() || head_.back().size() + total > head_.back().capacity()) {
                head_.emplace_back();
                head_.back().reserve(std::max(total, kBlock));
            }
            head_.back().append(header, kHeader).append(data, part);
            headBytes_ += part;
        } else if (!spill_.IsOpen() && !spill_.Open()) {
            spillFailed_ = true;
            tail_.append(header, kHeader).append(data, part);
        } else {
            pending_.append(header, kHeader).append(data, part);
            if (pending_.size() >= kWritePiece)
                Flush();
        }
        data += part;
        size -= part;
    } while (size > 0);
}

void TraceRecords::Flush() {
    if (pending_.empty())
        return;
    if (!spill_.Append(pending_.data(), pending_.size())) {
        // Only whole pieces count; a partly written one is read from memory instead.
        spillFailed_ = true;
        tail_.append(pending_);
        std::string().swap(pending_);
        return;
    }
    spilledBytes_ += pending_.size();
    pending_.clear();
}

void TraceRecords::Clear() {
    LineList().swap(head_);
    headBytes_ = 0;
    std::string().swap(tail_);
    spill_.Close();
    spilledBytes_ = 0;
    std::string().swap(pending_);
    spillFailed_ = false;
}

bool TraceRecords::EachStored(const char* data, size_t size, const RecordSink& record) {
    for (size_t at = 0; at + kHeader <= size;) {
        uint32_t length;
        std::memcpy(&length, data + at, sizeof length);
        if (!record(data[at + 4], data[at + 5], data + at + kHeader, length))
            return false;
        at += kHeader + length;
    }
    return true;
}

bool TraceRecords::EachInMemory(const RecordSink& record) {
    for (const std::string& block : head_)
        if (!EachStored(block.data(), block.size(), record))
            return false;
    return true;
}

bool TraceRecords::EachSpilled(const RecordSink& record) {
    std::vector<char> buffer(kReadPiece);
    size_t start = 0, end = 0; // the bytes read and not yet used
    uint64_t offset = 0;
    // Makes count bytes available at start; false when the file holds fewer.
    auto fill = [&](size_t count) {
        if (end - start >= count)
            return true;
        std::memmove(buffer.data(), buffer.data() + start, end - start);
        end -= start;
        start = 0;
        if (buffer.size() < count)
            buffer.resize(count);
        while (end < count) {
            const uint64_t left = spilledBytes_ - offset;
            const size_t got =
                left == 0 ? 0
                          : spill_.ReadAt(offset, buffer.data() + end,
                                          size_t(std::min<uint64_t>(buffer.size() - end, left)));
            if (got == 0)
                return false;
            offset += got;
            end += got;
        }
        return true;
    };
    while (offset < spilledBytes_ || start < end) {
        if (!fill(kHeader))
            return false;
        uint32_t length;
        std::memcpy(&length, buffer.data() + start, sizeof length);
        if (!fill(kHeader + length))
            return false;
        const char* at = buffer.data() + start;
        if (!record(at[4], at[5], at + kHeader, length))
            return false;
        start += kHeader + length;
    }
    return true;
}

void TraceRecords::Stream(const std::function<bool(const char*, size_t)>& sink) {
    Flush();
    std::string piece;
    bool sinkStopped = false;
    const RecordSink format = [&](char kind, char mode, const char* data, size_t size) {
        AppendRecord(kind, mode, data, size, piece);
        if (piece.size() < kStreamPiece)
            return true;
        sinkStopped = !sink(piece.data(), piece.size());
        piece.clear();
        return !sinkStopped;
    };
    if (EachInMemory(format) && (spilledBytes_ == 0 || EachSpilled(format)))
        EachStored(tail_.data(), tail_.size(), format);
    // What was formatted before the file failed still goes out.
    if (!sinkStopped && !piece.empty())
        sink(piece.data(), piece.size());
}

void TraceRecords::MoveTo(LineList& list) {
    Flush();
    const RecordSink each = [&](char kind, char mode, const char* data, size_t size) {
        list.emplace_back();
        AppendRecord(kind, mode, data, size, list.back());
        return true;
    };
    EachInMemory(each);
    if (spilledBytes_ > 0) {
        std::string spilled;
        EachSpilled([&](char kind, char mode, const char* data, size_t size) {
            AppendRecord(kind, mode, data, size, spilled);
            return true;
        });
        list.push_back(std::move(spilled));
    }
    EachStored(tail_.data(), tail_.size(), each);
    Clear();
}

} // namespace SMTPClientNS
