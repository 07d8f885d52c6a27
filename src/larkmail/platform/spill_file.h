// A temporary file that only its owner can read, for data that should not stay in memory. It
// has no name that outlives it: the file is removed when it is closed, and the system removes
// it when the process ends in any other way.
#pragma once

#include <cstddef>
#include <cstdint>

namespace SMTPClientNS {

class SpillFile {
public:
    SpillFile() = default;
    ~SpillFile() { Close(); }
    SpillFile(const SpillFile&) = delete;
    SpillFile& operator=(const SpillFile&) = delete;

    // Creates the file in the system's temporary folder; false when that fails.
    bool Open();
    bool IsOpen() const { return open_; }
    // Appends all bytes at the end; false on a short or failed write.
    bool Append(const char* data, size_t size);
    // Reads up to size bytes at offset into buffer; returns the count read (0 at the end or on
    // failure).
    size_t ReadAt(uint64_t offset, char* buffer, size_t size);
    // Closes and so removes the file; does nothing when none is open.
    void Close();

private:
    bool open_ = false;
    intptr_t handle_ = -1;
};

} // namespace SMTPClientNS
