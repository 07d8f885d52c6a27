// A real SMTP server (tests/support/smtp_server.py on aiosmtpd) run as a child process for one
// test: it listens on 127.0.0.1 on an ephemeral port and stores every message it receives.
#pragma once

#include "child_process.h"
#include "temp_dir.h"

#include <chrono>
#include <string>
#include <vector>

namespace testsupport {

struct SmtpPeerOptions {
    // Both set: STARTTLS is offered with this certificate and key (see TestCertificate()).
    std::string certFile;
    std::string keyFile;
    bool requireTls = false; // everything but EHLO, NOOP, STARTTLS and QUIT refused before TLS
    // Non-empty user: AUTH LOGIN / PLAIN with these credentials is required before MAIL.
    std::string user;
    std::string password;
    // Non-empty: AUTH XOAUTH2 with this bearer token is required before MAIL.
    std::string xoauth2Token;
    // AUTH is offered on connections without TLS too (by default only after STARTTLS).
    bool authWithoutTls = false;
    std::vector<std::string> rejectRecipients; // answered with 550 at RCPT TO
    bool neverGreet = false;                   // accepts connections and stays silent
    // Largest message accepted in octets; 0: no limit; -1: aiosmtpd's default (32 MiB).
    long long maxMessageSize = -1;
    // "STEP:ACTION": the first connection misbehaves at that step (see docs/testing.md).
    std::string fault;
    // Above 0: a connection silent this long is closed by the server.
    double idleTimeoutSeconds = 0;
    bool smtputf8 = true; // SMTPUTF8 offered (international addresses)
};

struct StoredMessage {
    int index = 0; // 1, 2, ... in arrival order
    std::string mailFrom;
    std::vector<std::string> recipients;
    std::vector<std::string> mailOptions; // parameters of MAIL FROM, e.g. "SMTPUTF8"
    std::string authUser;                 // the authenticated user, empty without AUTH
    bool tls = false;    // the message came over a connection upgraded with STARTTLS
    std::string data;    // the raw DATA bytes (dot-unstuffed, CR LF line ends as sent)
    std::string emlPath; // the file that holds data, for InspectMime
};

class SmtpPeer {
public:
    // Starts the server and waits (up to 15 s) until it listens. Throws std::runtime_error if
    // it does not come up.
    explicit SmtpPeer(const SmtpPeerOptions& options = {});
    // Stops the server and reaps it; the stored messages are removed.
    ~SmtpPeer() = default;
    SmtpPeer(const SmtpPeer&) = delete;
    SmtpPeer& operator=(const SmtpPeer&) = delete;

    int port() const { return port_; }
    pid_t pid() const { return child_.pid(); }
    std::string url() const { return "smtp://127.0.0.1:" + std::to_string(port_); }
    const std::string& storeDir() const { return store_.path(); }

    // True once at least count messages are stored; false after the time-out.
    bool waitForMessages(size_t count,
                         std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;
    // The messages stored so far, in arrival order. Each is checked with HeaderFormFaults
    // (header_form.h): a broken rule fails the running test.
    std::vector<StoredMessage> messages() const;

    // The life of every connection so far, in order: "open N", "ehlo N", "quit N", "timeout N"
    // (idle too long, closed by the server), "close N" with N counting connections from 1.
    std::vector<std::string> connectionEvents() const;
    // True once the event (e.g. "close 1") has been recorded; false after the time-out.
    bool waitForConnectionEvent(const std::string& event,
                                std::chrono::milliseconds timeout = std::chrono::seconds(10)) const;

private:
    TempDir store_; // declared before child_: the server stops before its folder goes
    ChildProcess child_;
    int port_ = 0;
};

// A self-signed certificate and key for 127.0.0.1 and localhost, made with the openssl
// command once per test program, in a folder removed at exit.
struct TestCertificateFiles {
    std::string certFile;
    std::string keyFile;
};
const TestCertificateFiles& TestCertificate();

} // namespace testsupport
