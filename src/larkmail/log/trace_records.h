// The records of one trace, oldest first. Up to a bound they stay in memory; past it they go
// to a temporary file of their own (readable by its owner only), so that a send of any size
// holds only a few megabytes. The records read back byte for byte in order either way.
#pragma once

#include "platform/spill_file.h"

#include <cstdint>
#include <deque>
#include <functional>
#include <string>

namespace SMTPClientNS {

typedef std::deque<std::string> LineList;

class TraceRecords {
public:
    static const size_t kDefaultMemoryBound = 4 * 1024 * 1024;

    explicit TraceRecords(size_t memoryBound = kDefaultMemoryBound) : memoryBound_(memoryBound) {}
    TraceRecords(const TraceRecords&) = delete;
    TraceRecords& operator=(const TraceRecords&) = delete;

    void Add(const std::string& record);
    // Drops every record and the temporary file, and frees their memory.
    void Clear();
    // Passes the bytes of all records, in order, to sink in pieces (a record may be split and
    // pieces may join records). Stops early when sink returns false.
    void Stream(const std::function<bool(const char*, size_t)>& sink);
    // Moves the records to the back of list and leaves this store empty; what went to the
    // file comes back as one record.
    void MoveTo(LineList& list);
    // True while some records live in the temporary file (or wait to be written to it).
    bool Spilled() const { return spilledBytes_ > 0 || !pending_.empty(); }

private:
    // Records past the bound are gathered and written to the file in pieces of this size:
    // libcurl hands over a send's data a few hundred bytes at a time.
    static const size_t kWritePiece = 256 * 1024;

    // Writes the gathered records to the file; when that fails they stay in memory.
    void Flush();
    // Stream for the part in the file; false when the sink stopped or the file failed.
    bool StreamSpilled(const std::function<bool(const char*, size_t)>& sink);

    size_t memoryBound_;
    LineList head_; // the records before the bound
    size_t headBytes_ = 0;
    SpillFile spill_;
    uint64_t spilledBytes_ = 0;
    std::string pending_; // whole records for the file, not yet written
    // Records that came after the file had failed: kept in memory rather than lost.
    LineList tail_;
    bool spillFailed_ = false;
};

} // namespace SMTPClientNS
