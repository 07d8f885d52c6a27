// The per-client worker for asynchronous sends. It stays idle (no thread, no window) until the
// client's first asynchronous send.
#pragma once

namespace SMTPClientNS {

class CAsyncThread {
public:
    CAsyncThread() = default;
    virtual ~CAsyncThread() = default;
    CAsyncThread(const CAsyncThread&) = delete;
    CAsyncThread& operator=(const CAsyncThread&) = delete;
};

} // namespace SMTPClientNS
