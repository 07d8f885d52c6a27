// The library's interfaces declared by hand as a host built with MSVC sees them: slot 0 of each
// table is the one deleting destructor (flags, bit 0 frees the memory; returns the object), and
// the operations follow in their fixed order. Nothing here comes from the library's header, so
// a table laid out any other way sends these calls to the wrong operation.
#pragma once

namespace msvc {

typedef wchar_t WideChar;

class IMimeMessage {
public:
    virtual void* DeletingDestructor(unsigned int flags) = 0;
    virtual int Clear(int target) = 0;
    virtual void Release() = 0;
    virtual int AddRecipient(const WideChar* address, const WideChar* name) = 0;
    virtual int GetRecipientCount() = 0;
    virtual const WideChar* GetRecipient(unsigned int index, int part) = 0;
    virtual int AddCc(const WideChar* address, const WideChar* name) = 0;
    virtual int GetCcCount() = 0;
    virtual const WideChar* GetCc(unsigned int index, int part) = 0;
    virtual int AddBcc(const WideChar* address, const WideChar* name) = 0;
    virtual int GetBccCount() = 0;
    virtual const WideChar* GetBcc(unsigned int index, int part) = 0;
    virtual int AddAttachment(const WideChar* path) = 0;
    virtual int GetAttachmentCount() = 0;
    virtual const WideChar* GetAttachment(unsigned int index) = 0;
    virtual int AddInlineImage(const WideChar* path, const WideChar* contentId) = 0;
    virtual int GetInlineImageCount() = 0;
    virtual const WideChar* GetInlineImagePath(unsigned int index) = 0;
    virtual const WideChar* GetInlineImageContentId(unsigned int index) = 0;
    virtual int SetSender(const WideChar* address, const WideChar* name) = 0;
    virtual const WideChar* GetSender(int part) = 0;
    virtual void SetPriority(int priority) = 0;
    virtual int GetPriority() = 0;
    virtual void SetSubject(const WideChar* subject) = 0;
    virtual const WideChar* GetSubject() = 0;
    virtual void SetCharset(const WideChar* charset) = 0;
    virtual const WideChar* GetCharset() = 0;
    virtual void LoadBodyFromFile(const WideChar* path, int kind) = 0;
    virtual void SetHtmlBody(const WideChar* html) = 0;
    virtual const WideChar* GetHtmlBody() = 0;
    virtual void SetTextBody(const WideChar* text) = 0;
    virtual const WideChar* GetTextBody() = 0;

protected:
    ~IMimeMessage() {}
};

class ISendCallback {
public:
    virtual void* DeletingDestructor(unsigned int flags) = 0;
    virtual void OnSendComplete(int taskId, int result, const WideChar* message) = 0;

protected:
    ~ISendCallback() {}
};

class ISmtpClient {
public:
    virtual void* DeletingDestructor(unsigned int flags) = 0;
    virtual int Send() = 0;
    virtual int SendAsync() = 0;
    virtual int CancelAsync(int taskId) = 0;
    virtual const WideChar* GetSessionText() = 0;
    virtual void SetLogFile(const WideChar* path, bool append) = 0;
    virtual const WideChar* GetLastSessionLine() = 0;
    virtual int GetLastResult() = 0;
    virtual int SetProxy(const WideChar* host, int port, int kind, const WideChar* user,
                         const WideChar* password) = 0;
    virtual void GetProxyValue(WideChar* buffer, int which) = 0;
    virtual void SetProxyEnabled(bool enabled) = 0;
    virtual bool IsProxyEnabled() = 0;
    virtual void SetCallback(ISendCallback* callback) = 0;
    virtual ISendCallback* GetCallback() = 0;
    virtual void SetVerifyPeer(int verify) = 0;
    virtual int GetVerifyPeer() = 0;
    virtual void SetVerifyStatus(bool verify) = 0;
    virtual bool GetVerifyStatus() = 0;
    virtual void SetUseTls(bool useTls) = 0;
    virtual bool GetUseTls() = 0;
    virtual void SetTlsVersion(int version) = 0;
    virtual int GetTlsVersion() = 0;
    virtual void SetConnectTimeout(int seconds) = 0;
    virtual int GetConnectTimeout() = 0;
    virtual void SetUser(const WideChar* user) = 0;
    virtual const WideChar* GetUser() = 0;
    virtual void SetPassword(const WideChar* password) = 0;
    virtual const WideChar* GetPassword() = 0;
    virtual void SetBearerToken(const WideChar* token) = 0;
    virtual const WideChar* GetBearerToken() = 0;
    virtual void SetHost(const WideChar* host) = 0;
    virtual const WideChar* GetHost() = 0;
    virtual void SetPort(int port) = 0;
    virtual int GetPort() = 0;
    virtual void AddRef() = 0;
    virtual void Release() = 0;
    virtual void SetMimeMessage(IMimeMessage* message) = 0;
    virtual IMimeMessage* GetMimeMessage() = 0;

protected:
    ~ISmtpClient() {}
};

typedef ISmtpClient*(__cdecl* CreateSmtpClientFn)();
typedef IMimeMessage*(__cdecl* CreateMimeMessageFn)();

} // namespace msvc
