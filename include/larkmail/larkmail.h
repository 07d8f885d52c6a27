// Larkmail: compose e-mail and send it over SMTP.
//
// The library exports two functions with C linkage, CreateSmtpClient and CreateMimeMessage.
// Each returns an object that the host drives only through its table of virtual operations;
// the order of the operations below is part of the binary interface and never changes.
// All text crosses the boundary as NUL-terminated UTF-16 (WideChar).
#pragma once

#ifdef _WIN32
#define LARKMAIL_CALL __cdecl
#ifdef LARKMAIL_BUILDING
#define LARKMAIL_EXPORT extern "C" __declspec(dllexport)
#else
#define LARKMAIL_EXPORT extern "C" __declspec(dllimport)
#endif
#else
#define LARKMAIL_CALL
#define LARKMAIL_EXPORT extern "C" __attribute__((visibility("default")))
#endif

// Slot 0 of every operation table. Hosts on x86-64 Windows are built with MSVC, which gives a
// virtual destructor one slot: its deleting destructor, taking flags (bit 0: free the memory)
// and returning the object. g++ for mingw gives a virtual destructor two slots, which would
// move every later operation by one. Under that compiler slot 0 is therefore an ordinary
// virtual function of the deleting destructor's signature, and the C++ destructor's slots go
// after the fixed operations, where no host looks. Elsewhere slot 0 is the virtual destructor.
#if defined(_WIN32) && !defined(_MSC_VER)
#define LARKMAIL_TABLE_BEGIN(Interface)                                                            \
public:                                                                                            \
    virtual void* DeletingDestructor(unsigned int flags) {                                         \
        if (flags & 1u) {                                                                          \
            delete this;                                                                           \
        } else {                                                                                   \
            this->~Interface();                                                                    \
        }                                                                                          \
        return this;                                                                               \
    }
#define LARKMAIL_TABLE_END(Interface)                                                              \
public:                                                                                            \
    virtual ~Interface() {}
#else
#define LARKMAIL_TABLE_BEGIN(Interface)                                                            \
public:                                                                                            \
    virtual ~Interface() {}
#define LARKMAIL_TABLE_END(Interface)
#endif

namespace SMTPClientNS {

// One UTF-16 code unit: 16 bits on every platform.
#ifdef _WIN32
typedef wchar_t WideChar;
#else
typedef char16_t WideChar;
#endif

// Public result codes: 1 is success, every failure is negative.
enum : int {
    SMTP_SUCCESS = 1,
    SMTP_ERR_GENERAL = -1,
    SMTP_ERR_PROXY_CONNECT = -2,
    SMTP_ERR_RESOLVE_PROXY = -3,
    SMTP_ERR_RESOLVE_HOST = -4,
    SMTP_ERR_CONNECT = -5,
    SMTP_ERR_BAD_HOST = -6,
    SMTP_ERR_UNSUPPORTED_PROTOCOL = -7,
    SMTP_ERR_SSL_CONNECT = -8,
    SMTP_ERR_CERT_REVOKED = -9,
    SMTP_ERR_CERT_AUTH = -10,
    SMTP_ERR_TIMEOUT = -11,
    SMTP_ERR_LOGIN_DENIED = -12,
    SMTP_ERR_SEND = -13,
    SMTP_ERR_RECEIVE = -14,
    SMTP_ERR_AUTH = -15,
    SMTP_ERR_READ_FILE = -16,
    SMTP_ERR_NO_SENDER = -17,
    SMTP_ERR_NO_RECIPIENTS = -18,
    SMTP_ERR_CONVERT_PARAM = -19,
    SMTP_ERR_CONVERT_MEMORY = -20,
    SMTP_ERR_CHARSET_UNSUPPORTED = -21,
    SMTP_ERR_CONVERT_GENERAL = -22,
    // An address's local part lies outside ASCII and the server does not offer SMTPUTF8:
    // nothing was sent.
    SMTP_ERR_SMTPUTF8_UNSUPPORTED = -23,
    // What GetLastResult returns before the client's first send.
    SMTP_NO_SEND_YET = 999,
};

// Priority of a message; other values are stored but produce no priority header.
enum MessagePriority : int {
    PRIORITY_NORMAL = 0,
    PRIORITY_LOW = 1,
    PRIORITY_HIGH = 2,
};

// What IMimeMessage::Clear empties.
enum MimeClearTarget : int {
    CLEAR_ALL = 0, // everything but the charset
    CLEAR_TO = 1,
    CLEAR_CC = 2,
    CLEAR_BCC = 3,
    CLEAR_ATTACHMENTS = 4,
    CLEAR_INLINE_IMAGES = 5,
    CLEAR_SENDER = 6,
};

// Which body IMimeMessage::LoadBodyFromFile sets, and the code page of the file.
enum BodyFileKind : int {
    BODY_TEXT_ANSI = 0,
    BODY_TEXT_UTF8 = 1,
    BODY_HTML_ANSI = 2,
    BODY_HTML_UTF8 = 3,
    BODY_HTML_EMBED_IMAGES_ANSI = 4, // HTML; image references become cid: references
    BODY_HTML_EMBED_IMAGES_UTF8 = 5,
};

// Which half of an address entry a getter returns.
enum AddressPart : int {
    ADDRESS_PART_ADDRESS = 0,
    ADDRESS_PART_NAME = 1,
};

// Proxy kinds for ISmtpClient::SetProxy; any other value is used as SOCKS5.
enum ProxyKind : int {
    PROXY_SOCKS4 = 0,
    PROXY_SOCKS4A = 1,
    PROXY_SOCKS5 = 2,
    PROXY_SOCKS5_HOSTNAME = 3,
};

// GetProxyValue selectors.
enum ProxyValue : int {
    PROXY_VALUE_HOST = 0,
    PROXY_VALUE_PORT = 1,
    PROXY_VALUE_KIND = 2,
    PROXY_VALUE_USER = 3,
    PROXY_VALUE_PASSWORD = 4,
};

// Size in characters of the buffer that GetProxyValue fills, terminator included.
const int PROXY_VALUE_BUFFER_SIZE = 256;

// One e-mail. Indexes are 1-based; "Add" operations return the new count or -1.
// Returned strings are never null and stay valid until that field or list changes.
class IMimeMessage {
    LARKMAIL_TABLE_BEGIN(IMimeMessage)

public:
    virtual int Clear(MimeClearTarget target) = 0;
    // Ends this object; call it exactly once, after every send that uses it has ended.
    virtual void Release() = 0;
    // Address setters return -1 and change nothing for an address with a control character,
    // a blank or one of <>(),;\" (see the README); names and addresses are copied.
    virtual int AddRecipient(const WideChar* address, const WideChar* name) = 0;
    virtual int GetRecipientCount() = 0;
    virtual const WideChar* GetRecipient(unsigned int index, AddressPart part) = 0;
    virtual int AddCc(const WideChar* address, const WideChar* name) = 0;
    virtual int GetCcCount() = 0;
    virtual const WideChar* GetCc(unsigned int index, AddressPart part) = 0;
    virtual int AddBcc(const WideChar* address, const WideChar* name) = 0;
    virtual int GetBccCount() = 0;
    virtual const WideChar* GetBcc(unsigned int index, AddressPart part) = 0;
    // File setters return -1 for a path that names nothing; the file is read when a send runs.
    virtual int AddAttachment(const WideChar* path) = 0;
    virtual int GetAttachmentCount() = 0;
    virtual const WideChar* GetAttachment(unsigned int index) = 0;
    virtual int AddInlineImage(const WideChar* path, const WideChar* contentId) = 0;
    virtual int GetInlineImageCount() = 0;
    virtual const WideChar* GetInlineImagePath(unsigned int index) = 0;
    virtual const WideChar* GetInlineImageContentId(unsigned int index) = 0;
    virtual int SetSender(const WideChar* address, const WideChar* name) = 0;
    virtual const WideChar* GetSender(AddressPart part) = 0;
    virtual void SetPriority(int priority) = 0;
    virtual int GetPriority() = 0;
    virtual void SetSubject(const WideChar* subject) = 0;
    virtual const WideChar* GetSubject() = 0;
    virtual void SetCharset(const WideChar* charset) = 0;
    virtual const WideChar* GetCharset() = 0;
    // Reads the whole file now (files of 4 GiB or more, and unreadable or empty ones, change
    // nothing). Attachments and inline images, by contrast, are read when a send runs.
    virtual void LoadBodyFromFile(const WideChar* path, BodyFileKind kind) = 0;
    virtual void SetHtmlBody(const WideChar* html) = 0;
    virtual const WideChar* GetHtmlBody() = 0;
    virtual void SetTextBody(const WideChar* text) = 0;
    virtual const WideChar* GetTextBody() = 0;

    LARKMAIL_TABLE_END(IMimeMessage)
};

// Implemented by the host: told when an asynchronous send has ended. Called on the thread of
// the client's first SendAsync, from its message loop; message is valid during the call only.
class ISendCallback {
    LARKMAIL_TABLE_BEGIN(ISendCallback)

public:
    virtual void OnSendComplete(int taskId, int result, const WideChar* message) = 0;

    LARKMAIL_TABLE_END(ISendCallback)
};

// An SMTP client. Result codes are the public codes above.
class ISmtpClient {
    LARKMAIL_TABLE_BEGIN(ISmtpClient)

public:
    // Sends the message on the calling thread and blocks until the transfer ends: the connect
    // is bounded by the connect time-out (else the response time-out), every later wait by
    // LARKMAIL_RESPONSE_TIMEOUT (120 s by default). Returns SMTP_SUCCESS or a failure code.
    virtual int Send() = 0;
    // Prepares the send on the calling thread (no network), queues it for the client's worker
    // and returns its task id (1, 2, ...). The outcome arrives through the callback on the
    // thread of the client's first SendAsync, which must dispatch window messages.
    virtual int SendAsync() = 0;
    // Removes a queued task (0: every queued task) without a completion; 1 when something was
    // removed, -1 otherwise (a task the worker has taken runs to its end). Never blocks.
    virtual int CancelAsync(int taskId) = 0;
    // The last synchronous send's dialogue as the send log shows it (secrets masked, one line
    // for the message data); empty before a send reached the server. Owned by the client,
    // valid until its next call of GetSessionText, GetLastSessionLine or Send.
    virtual const WideChar* GetSessionText() = 0;
    // Sets the send log file (null: no change). After a synchronous send it writes that send's
    // log at once, on the calling thread.
    virtual void SetLogFile(const WideChar* path, bool append) = 0;
    // The server's last reply line of that send (e.g. "550 5.1.1 ... rejected"); owned and
    // valid as GetSessionText's result.
    virtual const WideChar* GetLastSessionLine() = 0;
    // The outcome of the last synchronous send (999 before the first); asynchronous sends
    // leave it alone.
    virtual int GetLastResult() = 0;
    // Enables a SOCKS proxy and returns 1; returns 0 and disables it for an empty host, a
    // port of 0 or less or a value over 255 characters. User and password are kept only when
    // both are given.
    virtual int SetProxy(const WideChar* host, int port, int kind, const WideChar* user,
                         const WideChar* password) = 0;
    // Copies one ProxyValue into the caller's buffer of PROXY_VALUE_BUFFER_SIZE characters;
    // another selector leaves the buffer as it was.
    virtual void GetProxyValue(WideChar* buffer, int which) = 0;
    virtual void SetProxyEnabled(bool enabled) = 0;
    virtual bool IsProxyEnabled() = 0;
    // Borrowed, never freed by the client: it must outlive every outstanding asynchronous send.
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
    // Text setters copy their argument (null: empty); getters return the client's copy, valid
    // until the same setter runs again or the client is released.
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
    // Keeps the client's state (settings, kept connection, worker) alive for the rest of the
    // process; it is not a reference on this object, and no Release pairs with it.
    virtual void AddRef() = 0;
    // Ends this object; call it exactly once. Outstanding asynchronous sends still complete,
    // and the client's state goes after the last one. May wait up to a second for the worker.
    virtual void Release() = 0;
    // Borrowed, never freed by the client: it must outlive every send that uses it.
    virtual void SetMimeMessage(IMimeMessage* message) = 0;
    virtual IMimeMessage* GetMimeMessage() = 0;

    LARKMAIL_TABLE_END(ISmtpClient)
};

} // namespace SMTPClientNS

// The two exports. Look them up by these names after loading the library.
LARKMAIL_EXPORT SMTPClientNS::ISmtpClient* LARKMAIL_CALL CreateSmtpClient();
LARKMAIL_EXPORT SMTPClientNS::IMimeMessage* LARKMAIL_CALL CreateMimeMessage();

typedef SMTPClientNS::ISmtpClient*(LARKMAIL_CALL* CreateSmtpClientFn)();
typedef SMTPClientNS::IMimeMessage*(LARKMAIL_CALL* CreateMimeMessageFn)();
