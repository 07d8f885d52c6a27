// CSmtpClient: the object a host holds. It forwards every operation to its client state and
// holds one reference on it; a few setters apply their own null rules first. Operations that
// allocate run inside Guarded, so a failure inside them reaches the host as their failure
// value; the others only read or store plain values.
#pragma once

#include "api/guarded.h"
#include "client/client_state.h"

namespace SMTPClientNS {

class CSmtpClient : public ISmtpClient {
    static constexpr const WCHAR* kNoText = TEXT("");

public:
    // Takes over the caller's reference on state.
    explicit CSmtpClient(CSmtpClientWrapper* state) : state_(state) {}
    // Drops the facade's reference; the state lives on while asynchronous sends hold theirs.
    ~CSmtpClient() override { state_->Release(); }
    CSmtpClient(const CSmtpClient&) = delete;
    CSmtpClient& operator=(const CSmtpClient&) = delete;

    int Send() override {
        return Guarded(int(SMTP_ERR_GENERAL), [&] { return state_->Send(); });
    }
    // 0 is no task id: ids start at 1.
    int SendAsync() override {
        return Guarded(0, [&] { return state_->SendAsync(); });
    }
    int CancelAsync(int taskId) override {
        return Guarded(0, [&] { return state_->CancelAsync(taskId); });
    }
    const WCHAR* GetSessionText() override {
        return Guarded(kNoText, [&] { return state_->GetSessionText(); });
    }
    void SetLogFile(const WCHAR* path, bool append) override {
        Guarded([&] { state_->SetLogFile(path, append); });
    }
    const WCHAR* GetLastSessionLine() override {
        return Guarded(kNoText, [&] { return state_->GetLastSessionLine(); });
    }
    int GetLastResult() override { return state_->GetLastResult(); }
    int SetProxy(const WCHAR* host, int port, int kind, const WCHAR* user,
                 const WCHAR* password) override {
        return Guarded(0, [&] { return state_->SetProxy(host, port, kind, user, password); });
    }
    void GetProxyValue(WCHAR* buffer, int which) override {
        Guarded([&] { state_->GetProxyValue(buffer, which); });
    }
    void SetProxyEnabled(bool enabled) override { state_->SetProxyEnabled(enabled); }
    bool IsProxyEnabled() override { return state_->IsProxyEnabled(); }
    void SetCallback(ISendCallback* callback) override { state_->SetCallback(callback); }
    ISendCallback* GetCallback() override { return state_->GetCallback(); }
    void SetVerifyPeer(int verify) override { state_->SetVerifyPeer(verify); }
    int GetVerifyPeer() override { return state_->GetVerifyPeer(); }
    void SetVerifyStatus(bool verify) override { state_->SetVerifyStatus(verify); }
    bool GetVerifyStatus() override { return state_->GetVerifyStatus(); }
    void SetUseTls(bool useTls) override { state_->SetUseTls(useTls); }
    bool GetUseTls() override { return state_->GetUseTls(); }
    void SetTlsVersion(int version) override { state_->SetTlsVersion(version); }
    int GetTlsVersion() override { return state_->GetTlsVersion(); }
    void SetConnectTimeout(int seconds) override { state_->SetConnectTimeout(seconds); }
    int GetConnectTimeout() override { return state_->GetConnectTimeout(); }
    void SetUser(const WCHAR* user) override {
        if (user)
            Guarded([&] { state_->SetUser(user); });
    }
    const WCHAR* GetUser() override { return state_->GetUser(); }
    void SetPassword(const WCHAR* password) override {
        if (password)
            Guarded([&] { state_->SetPassword(password); });
    }
    const WCHAR* GetPassword() override { return state_->GetPassword(); }
    void SetBearerToken(const WCHAR* token) override {
        Guarded([&] { state_->SetBearerToken(token ? token : kNoText); });
    }
    const WCHAR* GetBearerToken() override { return state_->GetBearerToken(); }
    void SetHost(const WCHAR* host) override {
        if (host)
            Guarded([&] { state_->SetHost(host); });
    }
    const WCHAR* GetHost() override { return state_->GetHost(); }
    void SetPort(int port) override { state_->SetPort(port); }
    int GetPort() override { return state_->GetPort(); }
    void AddRef() override { state_->AddRef(); }
    // Ends the facade; every facade is released exactly once.
    void Release() override { delete this; }
    void SetMimeMessage(IMimeMessage* message) override { state_->SetMimeMessage(message); }
    IMimeMessage* GetMimeMessage() override { return state_->GetMimeMessage(); }

private:
    CSmtpClientWrapper* state_;
};

} // namespace SMTPClientNS
