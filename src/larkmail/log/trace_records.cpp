#include "log/trace_records.h"

#include <memory>

namespace SMTPClientNS {

namespace {

const size_t kReadPiece = 1024 * 1024;

} // namespace

void TraceRecords::Add(const std::string& record) {
    if (spillFailed_) {
        tail_.push_back(record);
        return;
    }
    if (spilledBytes_ == 0 && headBytes_ + record.size() <= memoryBound_) {
        head_.push_back(record);
        headBytes_ += record.size();
        return;
    }
    if (!spill_.IsOpen() && !spill_.Open()) {
        spillFailed_ = true;
        tail_.push_back(record);
        return;
    }
    if (!spill_.Append(record.data(), record.size())) {
        // Only whole records count; a partly written one is read from memory instead.
        spillFailed_ = true;
        tail_.push_back(record);
        return;
    }
    spilledBytes_ += record.size();
}

void TraceRecords::Clear() {
    LineList().swap(head_);
    LineList().swap(tail_);
    headBytes_ = 0;
    spill_.Close();
    spilledBytes_ = 0;
    spillFailed_ = false;
}

void TraceRecords::Stream(const std::function<bool(const char*, size_t)>& sink) {
    for (const std::string& record : head_) {
        if (!sink(record.data(), record.size()))
            return;
    }
    if (!StreamSpilled(sink))
        return;
    for (const std::string& record : tail_) {
        if (!sink(record.data(), record.size()))
            return;
    }
}

bool TraceRecords::StreamSpilled(const std::function<bool(const char*, size_t)>& sink) {
    if (spilledBytes_ == 0)
        return true;
    std::unique_ptr<char[]> piece(new char[kReadPiece]);
    for (uint64_t offset = 0; offset < spilledBytes_;) {
        const uint64_t left = spilledBytes_ - offset;
        const size_t got =
            spill_.ReadAt(offset, piece.get(), left < kReadPiece ? size_t(left) : kReadPiece);
        if (got == 0 || !sink(piece.get(), got))
            return false;
        offset += got;
    }
    return true;
}

void TraceRecords::MoveTo(LineList& list) {
    for (std::string& record : head_)
        list.push_back(std::move(record));
    if (spilledBytes_ > 0) {
        std::string spilled;
        spilled.reserve(size_t(spilledBytes_));
        StreamSpilled([&](const char* data, size_t size) {
            spilled.append(data, size);
            return true;
        });
        list.push_back(std::move(spilled));
    }
    for (std::string& record : tail_)
        list.push_back(std::move(record));
    Clear();
}

} // namespace SMTPClientNS
