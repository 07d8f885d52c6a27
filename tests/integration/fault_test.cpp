// Misbehaving peers: a server that drops the connection, answers 4xx or 5xx, stays silent at
// one step of the dialogue or fails the TLS handshake, and a SOCKS proxy that accepts and then
// stays silent, refuses the login or cannot reach the server. Each send fails with its result code
// within the response time-out, and the same client then sends to a working server at once.
#include "library_objects.h"
#include "smtp_peer.h"
#include "socks_proxy.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <memory>
#include <ostream>
#include <string>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::SmtpPeer;
using testsupport::SmtpPeerOptions;
using testsupport::SocksProxy;

namespace {

using Clock = std::chrono::steady_clock;

// Short enough for tests, long enough that a TLS send to a working server finishes within it.
constexpr int kResponseTimeoutSeconds = 3;
constexpr auto kResponseTimeout = std::chrono::seconds(kResponseTimeoutSeconds);

// The SOCKS proxy in front of the server, if any.
enum class Proxy {
    None,
    Silent,        // accepts connections and never answers
    WrongPassword, // microsocks with a user and password; the client gives another password
    TargetClosed,  // microsocks, right password, but nothing listens on the server's port
};

struct FaultCase {
    const char* name;
    const char* fault; // the server's --fault, or empty
    int expected;
    // Response time-outs the send waits: libcurl answers a silent MAIL, RCPT or DATA with QUIT
    // and waits once more before it gives up.
    int waits;
    Proxy proxy = Proxy::None;
    // The server's refusal as GetLastSessionLine gives it; checked when set.
    const char* serverLine = nullptr;
    // The server's limit (SmtpPeerOptions); above 0 the first message is twice as large.
    long long maxMessageSize = -1;
};

std::ostream& operator<<(std::ostream& out, const FaultCase& c) {
    return out << c.name;
}

const FaultCase kFaults[] = {
    {"GreetingDropped", "greeting:drop", SMTP_ERR_RECEIVE, 0},
    {"Greeting4xx", "greeting:4xx", SMTP_ERR_GENERAL, 0},
    {"Greeting5xx", "greeting:5xx", SMTP_ERR_GENERAL, 0},
    {"GreetingSilent", "greeting:silent", SMTP_ERR_TIMEOUT, 1},
    {"EhloDropped", "ehlo:drop", SMTP_ERR_RECEIVE, 0},
    {"Ehlo4xx", "ehlo:4xx", SMTP_ERR_GENERAL, 0},
    {"Ehlo5xx", "ehlo:5xx", SMTP_ERR_GENERAL, 0},
    {"StartTlsDropped", "starttls:drop", SMTP_ERR_RECEIVE, 0},
    {"StartTls4xx", "starttls:4xx", SMTP_ERR_GENERAL, 0},
    {"StartTls5xx", "starttls:5xx", SMTP_ERR_GENERAL, 0},
    {"TlsHandshakeFails", "starttls:badtls", SMTP_ERR_SSL_CONNECT, 0},
    {"AuthDropped", "auth:drop", SMTP_ERR_RECEIVE, 0},
    {"Auth4xx", "auth:4xx", SMTP_ERR_LOGIN_DENIED, 0},
    {"Auth5xx", "auth:5xx", SMTP_ERR_LOGIN_DENIED, 0},
    {"AuthSilent", "auth:silent", SMTP_ERR_TIMEOUT, 1},
    {"MailDropped", "mail:drop", SMTP_ERR_RECEIVE, 0},
    {"Mail4xx", "mail:4xx", SMTP_ERR_SEND, 0},
    {"Mail5xx", "mail:5xx", SMTP_ERR_SEND, 0},
    {"RcptDropped", "rcpt:drop", SMTP_ERR_RECEIVE, 0},
    {"Rcpt4xx", "rcpt:4xx", SMTP_ERR_SEND, 0},
    {"Rcpt5xx", "rcpt:5xx", SMTP_ERR_SEND, 0, Proxy::None, "550 5.1.1 No such user"},
    {"RcptSilent", "rcpt:silent", SMTP_ERR_TIMEOUT, 2},
    {"DataDropped", "data:drop", SMTP_ERR_RECEIVE, 0},
    {"Data4xx", "data:4xx", SMTP_ERR_SEND, 0},
    {"Data5xx", "data:5xx", SMTP_ERR_SEND, 0},
    {"DotDropped", "dot:drop", SMTP_ERR_RECEIVE, 0},
    {"Dot4xx", "dot:4xx", SMTP_ERR_GENERAL, 0},
    {"Dot5xx", "dot:5xx", SMTP_ERR_GENERAL, 0, Proxy::None, "554 5.6.0 Message refused"},
    {"MessageTooLarge", "", SMTP_ERR_GENERAL, 0, Proxy::None, "552 Error: Too much mail data",
     2000},
    {"DotSilent", "dot:silent", SMTP_ERR_TIMEOUT, 1},
    {"SocksProxySilent", "", SMTP_ERR_TIMEOUT, 1, Proxy::Silent},
    {"SocksProxyRefusesTheLogin", "", SMTP_ERR_PROXY_CONNECT, 0, Proxy::WrongPassword},
    {"SocksProxyCannotReachTheServer", "", SMTP_ERR_PROXY_CONNECT, 0, Proxy::TargetClosed},
};

class FaultyPeer : public testing::TestWithParam<FaultCase> {
protected:
    void SetUp() override {
        setenv("LARKMAIL_RESPONSE_TIMEOUT", std::to_string(kResponseTimeoutSeconds).c_str(), 1);
    }
    void TearDown() override { unsetenv("LARKMAIL_RESPONSE_TIMEOUT"); }
};

TEST_P(FaultyPeer, FailsWithItsCodeInTimeAndTheClientSendsAgainAtOnce) {
    const FaultCase& c = GetParam();
    SmtpPeerOptions options;
    options.certFile = testsupport::TestCertificate().certFile;
    options.keyFile = testsupport::TestCertificate().keyFile;
    options.user = "ann";
    options.password = "secret";
    options.fault = c.fault;
    options.maxMessageSize = c.maxMessageSize;
    SmtpPeer peer(options);
    SmtpPeerOptions silentOptions;
    silentOptions.neverGreet = true;
    std::unique_ptr<SmtpPeer> silentProxy;
    std::unique_ptr<SocksProxy> socksProxy;

    // TLS and login, so that the dialogue passes every step; no connect time-out of its own.
    testsupport::LocalSender sender(u"127.0.0.1", peer.port());
    sender.client->SetUseTls(true);
    sender.client->SetConnectTimeout(0);
    sender.client->SetUser(u"ann");
    sender.client->SetPassword(u"secret");
    if (c.proxy == Proxy::Silent) {
        silentProxy = std::make_unique<SmtpPeer>(silentOptions);
        ASSERT_EQ(1, sender.client->SetProxy(u"127.0.0.1", silentProxy->port(), PROXY_SOCKS5,
                                             nullptr, nullptr));
    } else if (c.proxy != Proxy::None) {
        socksProxy = std::make_unique<SocksProxy>(SocksProxy::Kind::Socks5, "pu", "pp");
        const bool wrong = c.proxy == Proxy::WrongPassword;
        ASSERT_EQ(1, sender.client->SetProxy(u"127.0.0.1", socksProxy->port(), PROXY_SOCKS5, u"pu",
                                             wrong ? u"nope" : u"pp"));
        if (c.proxy == Proxy::TargetClosed)
            sender.client->SetPort(testsupport::FreeLoopbackPort());
    }

    if (c.maxMessageSize > 0)
        sender.message->SetTextBody(std::u16string(size_t(2 * c.maxMessageSize), u'x').c_str());
    const Clock::time_point start = Clock::now();
    EXPECT_EQ(c.expected, sender.send());
    const Clock::duration failing = Clock::now() - start;
    if (c.serverLine) {
        EXPECT_EQ(c.serverLine, testsupport::Utf8(sender.client->GetLastSessionLine()));
        // The whole dialogue, the server's words included, with the message data counted.
        const std::string session = testsupport::Utf8(sender.client->GetSessionText());
        EXPECT_NE(std::string::npos, session.find(std::string("S: ") + c.serverLine)) << session;
        if (c.maxMessageSize > 0) {
            EXPECT_NE(std::string::npos, session.find(" bytes of message data)\n")) << session;
            EXPECT_EQ(std::string::npos, session.find("xxxxxxxx")) << session;
        }
    }
    EXPECT_GE(failing, c.waits * kResponseTimeout - std::chrono::milliseconds(500));
    // No further wait: one more (QUIT to the failed peer when the set is freed) would show.
    EXPECT_LT(failing, c.waits * kResponseTimeout + std::chrono::seconds(2));

    // The failed connection is gone: neither the next send nor the release waits for it.
    sender.client->SetProxyEnabled(false);
    sender.client->SetPort(peer.port());
    sender.message->SetTextBody(u"hello");
    const Clock::time_point again = Clock::now();
    EXPECT_EQ(SMTP_SUCCESS, sender.send());
    sender.client.reset();
    EXPECT_LT(Clock::now() - again, kResponseTimeout);
    ASSERT_TRUE(peer.waitForMessages(1));
    EXPECT_EQ(1u, peer.messages().size());
}

INSTANTIATE_TEST_SUITE_P(Steps, FaultyPeer, testing::ValuesIn(kFaults),
                         [](const testing::TestParamInfo<FaultCase>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
