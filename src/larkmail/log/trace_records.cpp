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
    if (!Spilled() && headBytes_ + record.size() <= memoryBound_) {
        head_.push_back(record);
        headBytes_ += record.size();
        return;
    }
    if (!spill_.IsOpen() && !spill_.Open()) {
        spillFailed_ = true;
        tail_.push_back(record);
        return;
    }
    pending_ += record;
    if (pending_.size() >= kWritePiece)
        Flush();
}

void TraceRecords::Flush() {
    if (pending_.empty())
        return;
    if (!spill_.Append(pending_.data(), pending_.size())) {
        // Only whole pieces count; a partly written one is read from memory instead.
        spillFailed_ = true;
        tail_.push_back(std::move(pending_));
        pending_.clear();
        return;
    }
    spilledBytes_ += pending_.size();
    pending_.clear();
}

void TraceRecords::Clear() {
    LineList().swap(head_);
    LineList().swap(tail_);
    headBytes_ = 0;
    spill_.Close();
    spilledBytes_ = 0;
    std::string().swap(pending_);
    spillFailed_ = false;
}

void TraceRecords::Stream(const std::function<bool(const char*, size_t)>& sink) {
    Flush();
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
    Flush();
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
