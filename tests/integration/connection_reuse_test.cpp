// A client keeps its connection open between synchronous sends, and its worker between the
// asynchronous ones: the server's journal of connections shows which send opened a new one,
// which ended with QUIT and which was dropped.
#include "library_objects.h"
#include "message_pump.h"
#include "recording_callback.h"
#include "smtp_peer.h"
#include "socks_proxy.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <map>
#include <memory>
#include <ostream>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

using namespace SMTPClientNS;
using testsupport::SmtpPeer;
using testsupport::SmtpPeerOptions;
using testsupport::SocksProxy;
using testsupport::TestCertificate;
using testsupport::Utf16;

namespace {

enum class Mode {
    Plain,           // no TLS, no AUTH
    StartTlsOffered, // STARTTLS offered, not required; the client starts without TLS
    StartTlsAuth,    // STARTTLS and AUTH PLAIN/LOGIN required; the client uses both
};

// What a test may touch between two sends: the main peer, and peers started on demand.
struct Peers {
    SmtpPeer& main;
    SmtpPeerOptions options;
    std::unique_ptr<SmtpPeer> other;
    std::unique_ptr<SocksProxy> proxy;
    testsupport::TempDir folder; // for a CA file the test changes
};

// The events of every connection, one text per connection in the order they were opened:
// "open ehlo quit close" for a connection that sent a message and ended with QUIT.
std::vector<std::string> Connections(const SmtpPeer& peer) {
    std::map<int, std::string> byNumber;
    for (const std::string& event : peer.connectionEvents()) {
        std::istringstream in(event);
        std::string what;
        int number = 0;
        in >> what >> number;
        std::string& text = byNumber[number];
        text += (text.empty() ? "" : " ") + what;
    }
    std::vector<std::string> connections;
    for (const auto& entry : byNumber)
        connections.push_back(entry.second);
    return connections;
}

// Waits until every connection the peer saw has ended.
bool AllClosed(const SmtpPeer& peer) {
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    for (;;) {
        bool closed = true;
        for (const std::string& connection : Connections(peer))
            closed = closed && connection.size() >= 5 &&
                     connection.compare(connection.size() - 5, 5, "close") == 0;
        if (closed)
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

// Changes made to the client or its message before a send.
using Change = void (*)(testsupport::LocalSender&, Peers&);

void Nothing(testsupport::LocalSender&, Peers&) {}
void NewBody(testsupport::LocalSender& s, Peers&) {
    s.message->SetTextBody(u"another body");
}
void HostByName(testsupport::LocalSender& s, Peers&) {
    s.client->SetHost(u"localhost");
}
void OtherPort(testsupport::LocalSender& s, Peers& peers) {
    peers.other = std::make_unique<SmtpPeer>(peers.options);
    s.client->SetPort(peers.other->port());
}
void WrongPassword(testsupport::LocalSender& s, Peers&) {
    s.client->SetPassword(u"guess");
}
void RightPassword(testsupport::LocalSender& s, Peers&) {
    s.client->SetPassword(u"s3cret");
}
void OtherToken(testsupport::LocalSender& s, Peers&) {
    s.client->SetBearerToken(u"token-2");
}
void Tls12(testsupport::LocalSender& s, Peers&) {
    s.client->SetTlsVersion(3);
}
void TlsOn(testsupport::LocalSender& s, Peers&) {
    s.client->SetUseTls(true);
}
void ThroughProxy(testsupport::LocalSender& s, Peers& peers) {
    peers.proxy = std::make_unique<SocksProxy>(SocksProxy::Kind::Socks5);
    s.client->SetProxy(u"127.0.0.1", peers.proxy->port(), PROXY_SOCKS5, nullptr, nullptr);
}
void Direct(testsupport::LocalSender& s, Peers&) {
    s.client->SetProxyEnabled(false);
}
void RefusedRecipient(testsupport::LocalSender& s, Peers&) {
    s.message->AddRecipient(u"refused@example.org", nullptr);
}
void AcceptedRecipients(testsupport::LocalSender& s, Peers&) {
    s.message->Clear(CLEAR_TO);
    s.message->AddRecipient(u"rcpt@example.org", nullptr);
}
// Over TLS the server's side ends only once the client answers its close alert: wait for the
// server to give up on the connection, not for the end of it.
void ServerClosesIdleConnection(testsupport::LocalSender&, Peers& peers) {
    ASSERT_TRUE(peers.main.waitForConnectionEvent("timeout 1"));
}

// LARKMAIL_CA_FILE names a file that signs the server's certificate, or one that does not
// (the system's bundle); the client verifies certificates.
const char kSystemCaBundle[] = "/etc/ssl/certs/ca-certificates.crt";
void VerifyWithServerCa(testsupport::LocalSender& s, Peers&) {
    s.client->SetVerifyPeer(1);
    setenv("LARKMAIL_CA_FILE", TestCertificate().certFile.c_str(), 1);
}
void OtherCaFile(testsupport::LocalSender&, Peers&) {
    setenv("LARKMAIL_CA_FILE", kSystemCaBundle, 1);
}
void VerifyWithServerCaInOwnFile(testsupport::LocalSender& s, Peers& peers) {
    s.client->SetVerifyPeer(1);
    const std::string file =
        peers.folder.write("ca.pem", testsupport::ReadFileBytes(TestCertificate().certFile));
    setenv("LARKMAIL_CA_FILE", file.c_str(), 1);
}
void OtherCaInTheSameFile(testsupport::LocalSender&, Peers& peers) {
    peers.folder.write("ca.pem", testsupport::ReadFileBytes(kSystemCaBundle));
}

void NoRecipients(testsupport::LocalSender& s, Peers&) {
    s.message->Clear(CLEAR_TO);
}
void AcceptedRecipientsAfterIdleClose(testsupport::LocalSender& s, Peers& peers) {
    ServerClosesIdleConnection(s, peers);
    AcceptedRecipients(s, peers);
}

struct Step {
    Change change;
    int expected; // the result of the send after the change
};

struct ReuseCase {
    const char* name;
    Mode mode;
    double idleTimeoutSeconds; // the server closes connections idle this long; 0: never
    const char* fault;         // the server's first connection misbehaves (smtp_peer.h)
    std::vector<Step> steps;
    std::vector<std::string> connections; // the main peer's, after the client's Release
    std::vector<std::string> otherConnections;
};

std::ostream& operator<<(std::ostream& out, const ReuseCase& c) {
    return out << c.name;
}

const char kSent[] = "open ehlo quit close";
const char kSentTls[] = "open ehlo ehlo quit close";
const int kOk = SMTP_SUCCESS;

const ReuseCase kCases[] = {
    {"SendsShareOneConnection",
     Mode::Plain,
     0,
     "",
     {{Nothing, kOk}, {Nothing, kOk}, {NewBody, kOk}},
     {kSent},
     {}},
    {"SendsShareOneTlsConnectionWithAuth",
     Mode::StartTlsAuth,
     0,
     "",
     {{Nothing, kOk}, {Nothing, kOk}, {NewBody, kOk}},
     {kSentTls},
     {}},
    {"HostChanged", Mode::Plain, 0, "", {{Nothing, kOk}, {HostByName, kOk}}, {kSent, kSent}, {}},
    {"PortChanged", Mode::Plain, 0, "", {{Nothing, kOk}, {OtherPort, kOk}}, {kSent}, {kSent}},
    {"PasswordChangedThenRestored",
     Mode::StartTlsAuth,
     0,
     "",
     {{Nothing, kOk}, {WrongPassword, SMTP_ERR_LOGIN_DENIED}, {RightPassword, kOk}},
     // The refused login's connection is dropped without another word.
     {kSentTls, "open ehlo ehlo close", kSentTls},
     {}},
    {"BearerTokenChanged",
     Mode::Plain,
     0,
     "",
     {{Nothing, kOk}, {OtherToken, kOk}},
     {kSent, kSent},
     {}},
    {"TlsVersionChanged",
     Mode::StartTlsAuth,
     0,
     "",
     {{Nothing, kOk}, {Tls12, kOk}},
     {kSentTls, kSentTls},
     {}},
    {"TlsSwitchedOn",
     Mode::StartTlsOffered,
     0,
     "",
     {{Nothing, kOk}, {TlsOn, kOk}},
     {kSent, kSentTls},
     {}},
    {"ProxySwitchedOnAndOff",
     Mode::Plain,
     0,
     "",
     {{Nothing, kOk}, {ThroughProxy, kOk}, {Nothing, kOk}, {Direct, kOk}},
     {kSent, kSent, kSent},
     {}},
    {"FailedSendClosesTheConnection",
     Mode::Plain,
     0,
     "",
     {{Nothing, kOk}, {RefusedRecipient, SMTP_ERR_SEND}, {AcceptedRecipients, kOk}},
     // libcurl itself ends a connection whose recipient was refused, with QUIT.
     {kSent, kSent},
     {}},
    {"FailedFinalDotClosesTheConnection",
     Mode::Plain,
     0,
     "dot:4xx",
     {{Nothing, SMTP_ERR_GENERAL}, {Nothing, kOk}, {Nothing, kOk}},
     {"open ehlo close", kSent},
     {}},
    {"SilentServerClosesTheConnection",
     Mode::StartTlsAuth,
     0,
     "dot:silent",
     {{Nothing, SMTP_ERR_TIMEOUT}, {Nothing, kOk}, {Nothing, kOk}},
     {"open ehlo ehlo close", kSentTls},
     {}},
    {"ServerClosedTheIdleConnection",
     Mode::Plain,
     1.5,
     "",
     {{Nothing, kOk}, {ServerClosesIdleConnection, kOk}, {Nothing, kOk}},
     {"open ehlo timeout close", kSent},
     {}},
    {"ServerClosedTheIdleTlsConnection",
     Mode::StartTlsAuth,
     2,
     "",
     {{Nothing, kOk}, {ServerClosesIdleConnection, kOk}, {Nothing, kOk}},
     {"open ehlo ehlo timeout close", kSentTls},
     {}},
    // The trust store changed: the kept connection was verified against the old one.
    {"CaFileChanged",
     Mode::StartTlsAuth,
     0,
     "",
     {{VerifyWithServerCa, kOk}, {OtherCaFile, SMTP_ERR_CERT_REVOKED}, {VerifyWithServerCa, kOk}},
     {kSentTls, "open ehlo close", kSentTls},
     {}},
    {"CaFileContentChanged",
     Mode::StartTlsAuth,
     0,
     "",
     {{VerifyWithServerCaInOwnFile, kOk},
      {OtherCaInTheSameFile, SMTP_ERR_CERT_REVOKED},
      {VerifyWithServerCaInOwnFile, kOk}},
     {kSentTls, "open ehlo close", kSentTls},
     {}},
    // A send refused before connecting leaves the kept connection to the next one.
    {"RefusedSendInBetween",
     Mode::Plain,
     0,
     "",
     {{Nothing, kOk}, {NoRecipients, SMTP_ERR_NO_RECIPIENTS}, {AcceptedRecipients, kOk}},
     {kSent},
     {}},
    {"ServerClosedTheIdleTlsConnectionAfterARefusedSend",
     Mode::StartTlsAuth,
     2,
     "",
     {{Nothing, kOk},
      {NoRecipients, SMTP_ERR_NO_RECIPIENTS},
      {AcceptedRecipientsAfterIdleClose, kOk}},
     {"open ehlo ehlo timeout close", kSentTls},
     {}},
};

// Short, so that the silent server costs little; long enough for a TLS send to finish.
constexpr int kResponseTimeoutSeconds = 3;

template <typename Param> class WithResponseTimeout : public testing::TestWithParam<Param> {
protected:
    void SetUp() override {
        setenv("LARKMAIL_RESPONSE_TIMEOUT", std::to_string(kResponseTimeoutSeconds).c_str(), 1);
    }
    void TearDown() override {
        unsetenv("LARKMAIL_RESPONSE_TIMEOUT");
        unsetenv("LARKMAIL_CA_FILE");
    }
};

// Each case runs with synchronous sends and with asynchronous ones (the worker's connection),
// one completion awaited before the next change.
class ConnectionReuse : public WithResponseTimeout<std::tuple<ReuseCase, bool>> {};

// One send, synchronous or through the worker and the host's message loop.
int SendOnce(testsupport::LocalSender& sender, bool async) {
    if (!async)
        return sender.send();
    testsupport::RecordingCallback callback;
    sender.client->SetCallback(&callback);
    sender.client->SendAsync();
    const bool done = testsupport::PumpMessagesUntil([&] { return !callback.completions.empty(); },
                                                     std::chrono::seconds(20));
    sender.client->SetCallback(nullptr);
    return done ? callback.completions[0].result : 0;
}

TEST_P(ConnectionReuse, ConnectionsSeenByTheServer) {
    const ReuseCase& c = std::get<0>(GetParam());
    const bool async = std::get<1>(GetParam());
    SmtpPeerOptions options;
    options.rejectRecipients = {"refused@example.org"};
    options.idleTimeoutSeconds = c.idleTimeoutSeconds;
    options.fault = c.fault;
    if (c.mode != Mode::Plain) {
        options.certFile = TestCertificate().certFile;
        options.keyFile = TestCertificate().keyFile;
    }
    if (c.mode == Mode::StartTlsAuth) {
        options.requireTls = true;
        options.user = "ann";
        options.password = "s3cret";
    }
    SmtpPeer peer(options);
    Peers peers{peer, options, nullptr, nullptr, {}};

    int sent = 0;
    {
        testsupport::LocalSender sender(u"127.0.0.1", peer.port());
        if (c.mode == Mode::StartTlsAuth) {
            sender.client->SetUseTls(true);
            sender.client->SetUser(u"ann");
            sender.client->SetPassword(u"s3cret");
        }
        for (size_t i = 0; i < c.steps.size(); ++i) {
            c.steps[i].change(sender, peers);
            EXPECT_EQ(c.steps[i].expected, SendOnce(sender, async)) << "send " << i + 1;
            sent += c.steps[i].expected == kOk;
        }
    } // Release: the kept connection ends with QUIT.

    ASSERT_TRUE(AllClosed(peer));
    EXPECT_EQ(c.connections, Connections(peer));
    size_t stored = peer.messages().size();
    if (peers.other) {
        ASSERT_TRUE(AllClosed(*peers.other));
        EXPECT_EQ(c.otherConnections, Connections(*peers.other));
        stored += peers.other->messages().size();
    }
    EXPECT_EQ(size_t(sent), stored);
}

INSTANTIATE_TEST_SUITE_P(Settings, ConnectionReuse,
                         testing::Combine(testing::ValuesIn(kCases), testing::Bool()),
                         [](const testing::TestParamInfo<std::tuple<ReuseCase, bool>>& info) {
                             return std::string(std::get<0>(info.param).name) +
                                    (std::get<1>(info.param) ? "Async" : "");
                         });

// What only the worker does with its connection: tasks queued before the host pumps share it,
// cancelled tasks leave it, a released client's worker ends it with QUIT, and no completion
// waits on the network (each task's handle and sockets are gone when it reaches the host).
struct WorkerCase {
    const char* name;
    const char* fault;
    int tasks;         // queued before the host pumps
    bool cancel;       // the queued tasks are cancelled from the last one back
    bool releaseFirst; // the host releases its client before it pumps
    rlim_t openFiles;  // limit on open files while the tasks run; 0: unchanged
    std::vector<std::string> connections;
};

std::ostream& operator<<(std::ostream& out, const WorkerCase& c) {
    return out << c.name;
}

const WorkerCase kWorkerCases[] = {
    {"QueuedTasksShareOneConnection", "", 20, false, false, 0, {kSent}},
    {"CancelledTasksLeaveTheConnection", "", 20, true, false, 0, {kSent}},
    {"ReleaseWithTasksQueued", "", 5, false, true, 0, {kSent}},
    {"TwoThousandTasksUnderAThousandOpenFiles", "", 2000, false, false, 1024, {kSent}},
    {"ServerThatNeverAnswersQuit", "quit:silent", 3, false, false, 0, {"open ehlo quit close"}},
};

class WorkerConnection : public WithResponseTimeout<WorkerCase> {};

TEST_P(WorkerConnection, ConnectionsSeenByTheServer) {
    const WorkerCase& c = GetParam();
    SmtpPeerOptions options;
    options.fault = c.fault;
    SmtpPeer peer(options);
    rlimit saved{};
    getrlimit(RLIMIT_NOFILE, &saved);
    if (c.openFiles) {
        rlimit limited = saved;
        limited.rlim_cur = std::min(c.openFiles, saved.rlim_max);
        ASSERT_EQ(0, setrlimit(RLIMIT_NOFILE, &limited));
    }
    testsupport::RecordingCallback callback;
    size_t expected = size_t(c.tasks);
    {
        testsupport::LocalSender sender(u"127.0.0.1", peer.port());
        sender.client->SetCallback(&callback);
        for (int i = 0; i < c.tasks; ++i)
            ASSERT_EQ(i + 1, sender.client->SendAsync());
        // Every second task, from the last one back: the others, the first among them, still run.
        for (int id = c.tasks; c.cancel && id > 1; id -= 2)
            expected -= sender.client->CancelAsync(id) == 1;
        if (c.releaseFirst)
            sender.client.reset();
        const auto start = std::chrono::steady_clock::now();
        EXPECT_TRUE(testsupport::PumpMessagesUntil(
            [&] { return callback.completions.size() >= expected; }, std::chrono::seconds(120)));
        // No completion said QUIT or waited for the peer's answer to it.
        if (*c.fault) {
            EXPECT_LT(std::chrono::steady_clock::now() - start,
                      std::chrono::seconds(kResponseTimeoutSeconds));
        }
        setrlimit(RLIMIT_NOFILE, &saved);
    } // Release: the worker ends its connection with QUIT.
    EXPECT_EQ(expected, callback.completions.size());
    for (const auto& completion : callback.completions)
        EXPECT_EQ(SMTP_SUCCESS, completion.result) << "task " << completion.taskId;
    ASSERT_TRUE(AllClosed(peer));
    EXPECT_EQ(c.connections, Connections(peer));
    EXPECT_EQ(expected, peer.messages().size());
}

INSTANTIATE_TEST_SUITE_P(Worker, WorkerConnection, testing::ValuesIn(kWorkerCases),
                         [](const testing::TestParamInfo<WorkerCase>& info) {
                             return std::string(info.param.name);
                         });

// The log of a send over a kept connection holds that send's dialogue and nothing of the one
// before: no greeting, EHLO, STARTTLS or AUTH (the connection has them behind it), libcurl's
// note that it reused the connection, then MAIL FROM to the summary.
TEST(ConnectionReuseLog, EachSendLogsItsOwnDialogue) {
    SmtpPeerOptions options;
    options.certFile = TestCertificate().certFile;
    options.keyFile = TestCertificate().keyFile;
    options.requireTls = true;
    options.user = "ann";
    options.password = "s3cret";
    SmtpPeer peer(options);
    testsupport::TempDir folder;
    const std::string log = folder.file("send.log");
    testsupport::LocalSender sender(u"127.0.0.1", peer.port(), u"first body");
    sender.client->SetUseTls(true);
    sender.client->SetUser(u"ann");
    sender.client->SetPassword(u"s3cret");
    sender.client->SetLogFile(Utf16(log).c_str(), false);

    struct Expectation {
        const char16_t* body;
        std::vector<std::string> present;
        std::vector<std::string> absent;
    };
    const Expectation sends[] = {
        {u"first body",
         {"S: 220 ", "C: EHLO ", "C: STARTTLS", "C: AUTH ", "C: first body\n"},
         {"Re-using existing connection"}},
        {u"second body",
         {"Re-using existing connection", "C: MAIL FROM:<sender@example.org>", "C: second body\n",
          "Email sent successfully!"},
         {"S: 220 ", "C: EHLO ", "C: STARTTLS", "C: AUTH ", "first body"}},
    };
    for (const Expectation& send : sends) {
        sender.message->SetTextBody(send.body);
        ASSERT_EQ(SMTP_SUCCESS, sender.send());
        const std::string file = testsupport::ReadFileBytes(log);
        for (const std::string& text : send.present) {
            EXPECT_NE(std::string::npos, file.find(text)) << text << " in\n" << file;
        }
        for (const std::string& text : send.absent) {
            EXPECT_EQ(std::string::npos, file.find(text)) << text << " in\n" << file;
        }
    }
    EXPECT_EQ(1u, Connections(peer).size());
}

} // namespace
