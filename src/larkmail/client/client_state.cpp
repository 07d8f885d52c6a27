#include "client/client_state.h"

#include "transfer/synchronous_send.h"

#include <algorithm>
#include <string>

namespace SMTPClientNS {

namespace {

// Proxy values are read back and used through buffers of this many characters, terminator
// included; longer values are refused by SetProxy rather than cut.
const size_t kProxyValueMax = PROXY_VALUE_BUFFER_SIZE - 1;

bool IsEmpty(const WCHAR* text) {
    return !text || !*text;
}

bool FitsProxyBuffer(const WCHAR* text) {
    return !text || wcsnlen(text, kProxyValueMax + 1) <= kProxyValueMax;
}

void CopyToProxyBuffer(WCHAR* buffer, const WideString& value) {
    const size_t n = std::min(value.size(), kProxyValueMax);
    std::copy_n(value.data(), n, buffer);
    buffer[n] = 0;
}

void CopyToProxyBuffer(WCHAR* buffer, int value) {
    const std::string digits = std::to_string(value);
    WideString wide(digits.begin(), digits.end());
    CopyToProxyBuffer(buffer, wide);
}

} // namespace

CSmtpClientWrapper::CSmtpClientWrapper() = default;

CSmtpClientWrapper::~CSmtpClientWrapper() {
    {
        // Freeing the handle may still report the end of its connection to the trace; a kept
        // connection that is still good ends with QUIT.
        TraceBinding traced(trace_);
        FreeTransfer(transfer_);
        connections_.Close();
    }
    // The line lists, strings and the worker are released by their own destructors, in
    // reverse order of declaration: lists and strings first, the worker last.
}

int CSmtpClientWrapper::SetProxy(const WCHAR* host, int port, int kind, const WCHAR* user,
                                 const WCHAR* password) {
    // A value that could not be read back whole is refused like an unusable host.
    if (IsEmpty(host) || port <= 0 || !FitsProxyBuffer(host) || !FitsProxyBuffer(user) ||
        !FitsProxyBuffer(password)) {
        proxyEnabled_ = false;
        return 0;
    }
    proxyEnabled_ = true;
    proxyHost_ = host;
    proxyPort_ = port;
    proxyKind_ = kind;
    if (!IsEmpty(user) && !IsEmpty(password)) {
        proxyUser_ = user;
        proxyPassword_ = password;
    }
    return 1;
}

void CSmtpClientWrapper::GetProxyValue(WCHAR* buffer, int which) {
    if (!buffer)
        return;
    switch (which) {
    case PROXY_VALUE_HOST:
        CopyToProxyBuffer(buffer, proxyHost_);
        break;
    case PROXY_VALUE_PORT:
        CopyToProxyBuffer(buffer, proxyPort_);
        break;
    case PROXY_VALUE_KIND:
        CopyToProxyBuffer(buffer, proxyKind_);
        break;
    case PROXY_VALUE_USER:
        CopyToProxyBuffer(buffer, proxyUser_);
        break;
    case PROXY_VALUE_PASSWORD:
        CopyToProxyBuffer(buffer, proxyPassword_);
        break;
    default:
        break;
    }
}

void CSmtpClientWrapper::AddRef() {
    referenceCount_.fetch_add(1, std::memory_order_relaxed);
}

void CSmtpClientWrapper::Release() {
    if (referenceCount_.fetch_sub(1, std::memory_order_acq_rel) == 1)
        delete this;
}

} // namespace SMTPClientNS
