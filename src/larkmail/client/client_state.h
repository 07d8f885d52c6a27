// CSmtpClientWrapper: the client state behind every ISmtpClient facade. It stores the settings,
// the outcome of the last synchronous send, its reference count and the resources of the send
// machinery. Setters store values as given; nothing is applied until a send reads them.
#pragma once

#include "async/async_thread.h"
#include "transfer/kept_connection.h"
#include "transfer/smtputf8_guard.h"
#include "transfer/transfer_set.h"
#include "log/send_log.h"
#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <atomic>
#include <string>

namespace SMTPClientNS {

// Internal result before any synchronous send has run.

class CSmtpClientWrapper : public ISmtpClient {
public:
    CSmtpClientWrapper();
    ~CSmtpClientWrapper() override;
    CSmtpClientWrapper(const CSmtpClientWrapper&) = delete;
    CSmtpClientWrapper& operator=(const CSmtpClientWrapper&) = delete;

    int Send() override;
    int SendAsync() override;
    int CancelAsync(int taskId) override;
    const WCHAR* GetSessionText() override;
    void SetLogFile(const WCHAR* path, bool append) override;
    const WCHAR* GetLastSessionLine() override;
    int GetLastResult() override { return lastResult_; }
    int SetProxy(const WCHAR* host, int port, int kind, const WCHAR* user,
                 const WCHAR* password) override;
    void GetProxyValue(WCHAR* buffer, int which) override;
    void SetProxyEnabled(bool enabled) override { proxyEnabled_ = enabled; }
    bool IsProxyEnabled() override { return proxyEnabled_; }
    void SetCallback(ISendCallback* callback) override { callback_.store(callback); }
    ISendCallback* GetCallback() override { return callback_.load(); }
    void SetVerifyPeer(int verify) override { verifyPeer_ = verify; }
    int GetVerifyPeer() override { return verifyPeer_; }
    void SetVerifyStatus(bool verify) override { verifyStatus_ = verify; }
    bool GetVerifyStatus() override { return verifyStatus_; }
    void SetUseTls(bool useTls) override { useTls_ = useTls; }
    bool GetUseTls() override { return useTls_; }
    void SetTlsVersion(int version) override { tlsVersion_ = version; }
    int GetTlsVersion() override { return tlsVersion_; }
    void SetConnectTimeout(int seconds) override { connectTimeout_ = seconds; }
    int GetConnectTimeout() override { return connectTimeout_; }
    void SetUser(const WCHAR* user) override { Assign(user_, user); }
    const WCHAR* GetUser() override { return user_.c_str(); }
    void SetPassword(const WCHAR* password) override { Assign(password_, password); }
    const WCHAR* GetPassword() override { return password_.c_str(); }
    void SetBearerToken(const WCHAR* token) override { Assign(bearerToken_, token); }
    const WCHAR* GetBearerToken() override { return bearerToken_.c_str(); }
    void SetHost(const WCHAR* host) override { Assign(host_, host); }
    const WCHAR* GetHost() override { return host_.c_str(); }
    void SetPort(int port) override { port_ = port; }
    int GetPort() override { return port_; }
    void AddRef() override;
    void Release() override;
    void SetMimeMessage(IMimeMessage* message) override { message_ = message; }
    IMimeMessage* GetMimeMessage() override { return message_; }

private:
    // Adds the summary of the last send to the trace and writes the trace to the log file.
    void WriteLogFile();

    // A null text is stored as the empty string.
    static void Assign(WideString& field, const WCHAR* text) { field = text ? text : TEXT(""); }

    IMimeMessage* message_ = nullptr;
    // Read by the window thread when an asynchronous send completes.
    std::atomic<ISendCallback*> callback_{nullptr};
    CAsyncThread worker_;
    // What the server of the kept connection offered; declared before transfer_, whose handle
    // reports to it until it is freed.
    Smtputf8Guard smtputf8_;
    // Transfer set of the last synchronous send: kept until the next send or destruction.
    TransferSet transfer_;
    // The connection kept open between synchronous sends; declared after transfer_ so that it
    // is closed after the handle that last used it is freed.
    KeptConnection connections_;
    bool verifyStatus_ = false;
    bool proxyEnabled_ = false;
    bool useTls_ = true;
    bool logAppend_ = true;
    int tlsVersion_ = 0;
    int port_ = -1;
    int verifyPeer_ = 0;
    int lastResult_ = SMTP_NO_SEND_YET;
    // The internal code of the last send, from which the log summary derives lastResult_.
    int lastInternalResult_ = SMTP_NO_SEND_YET;
    // Asynchronous sends hold references from other threads, so the count is atomic.
    std::atomic<int> referenceCount_{1};
    int connectTimeout_ = 0;
    WideString user_;
    WideString password_;
    WideString host_;
    WideString textBuffer_;
    WideString bearerToken_;
    WideString logPath_;
    WideString proxyPassword_;
    WideString proxyUser_;
    int proxyKind_ = PROXY_SOCKS5;
    int proxyPort_ = -1;
    WideString proxyHost_;
    LineList messageList_;
    // The trace of the last synchronous send, kept until the next one for a log file set later.
    SendTrace trace_;
};

} // namespace SMTPClientNS
