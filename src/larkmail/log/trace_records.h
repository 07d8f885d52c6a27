// The records of one trace, oldest first. A record is either text kept as it is (libcurl's
// informational lines, the summary) or a block of protocol data kept as it came; a data block
// becomes its "label: " lines only when the records are read, so a send whose log nobody reads
// pays for a copy of its data and not for formatting it.
//
// Up to a bound the records stay in memory; past it they go to a temporary file of their own
// (readable by its owner only), so that a send of any size holds only a few megabytes. The
// records read back byte for byte in order either way.
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
    static const size_t kDefaultMemoryBound = 1024 * 1024;

    explicit TraceRecords(size_t memoryBound = kDefaultMemoryBound) : memoryBound_(memoryBound) {}
    TraceRecords(const TraceRecords&) = delete;
    TraceRecords& operator=(const TraceRecords&) = delete;

    // A record of text, read back as it is.
    void Add(const std::string& text) { Add(text.data(), text.size()); }
    void Add(const char* text, size_t size);
    // A record of protocol data, read back as FormatTraceData makes it (label: one letter).
    void AddData(char label, char mode, const unsigned char* data, size_t size);
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

    // Stores one record: a header (its size, kind and mode) and its bytes.
    void AddEntry(char kind, char mode, const char* data, size_t size);
    // Writes the gathered records to the file; when that fails they stay in memory.
    void Flush();
    typedef std::function<bool(char kind, char mode, const char* data, size_t size)> RecordSink;
    // Calls record for each record stored in data (the form AddEntry gives them); false when
    // record stopped.
    static bool EachStored(const char* data, size_t size, const RecordSink& record);
    // The same for the records before the bound.
    bool EachInMemory(const RecordSink& record);
    // The same for the records in the file; false also when the file could not be read.
    bool EachSpilled(const RecordSink& record);

    size_t memoryBound_;
    LineList head_;        // the records before the bound, in blocks
    size_t headBytes_ = 0; // their bytes, without the headers
    SpillFile spill_;
    uint64_t spilledBytes_ = 0;
    std::string pending_; // whole records for the file, not yet written
    // Records that came after the file had failed: kept in memory rather than lost.
    std::string tail_;
    bool spillFailed_ = false;
};

} // namespace SMTPClientNS
