// Connection settings against real peers: login, bearer token, TLS requirement and version,
// certificate checks and the connect time-out, each seen in its result code.
#include "library_objects.h"
#include "smtp_peer.h"
#include "socks_proxy.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <fstream>
#include <memory>

using namespace SMTPClientNS;
using nlohmann::json;
using testsupport::Library;
using testsupport::SmtpPeer;
using testsupport::SmtpPeerOptions;
using testsupport::SocksProxy;
using testsupport::TestCertificate;
using testsupport::Utf16;

namespace {

// A client with a message, aimed at a local peer, TLS required (the default).
struct Sender : testsupport::LocalSender {
    explicit Sender(int port) : LocalSender(u"127.0.0.1", port) { client->SetUseTls(true); }
};

SmtpPeerOptions StartTls() {
    SmtpPeerOptions options;
    options.certFile = TestCertificate().certFile;
    options.keyFile = TestCertificate().keyFile;
    options.requireTls = true;
    return options;
}

// The rows shared with the Wine runner: what the server requires, how the client is set up and
// what comes of it. A message that arrives went from sender@example.org to rcpt@example.org.
TEST(ConnectionOptions, SharedRows) {
    std::ifstream file(SEND_SCENARIOS_PATH);
    const json table = json::parse(file);
    for (const json& row : table.at("connections")) {
        SCOPED_TRACE(row["name"].get<std::string>());
        const json server = row.value("server", json::object());
        const json client = row.value("client", json::object());
        SmtpPeerOptions options = server.value("tls", false) ? StartTls() : SmtpPeerOptions();
        options.requireTls = server.value("require_tls", false);
        options.user = server.value("user", "");
        options.password = server.value("password", "");
        options.xoauth2Token = server.value("xoauth2_token", "");
        SmtpPeer peer(options);
        testsupport::LocalSender sender(u"127.0.0.1", peer.port());
        sender.client->SetUseTls(client.value("tls", false));
        if (client.contains("user"))
            sender.client->SetUser(Utf16(client["user"]).c_str());
        if (client.contains("password"))
            sender.client->SetPassword(Utf16(client["password"]).c_str());
        if (client.contains("token"))
            sender.client->SetBearerToken(Utf16(client["token"]).c_str());
        std::unique_ptr<SocksProxy> proxy; // SOCKS5, with a login when given
        if (row.contains("proxy")) {
            const json& p = row["proxy"];
            const auto login = p.value("login", std::vector<std::string>{"", ""});
            const auto use = p.value("client_login", login);
            int port = testsupport::FreeLoopbackPort();
            if (!p.value("absent", false)) {
                proxy = std::make_unique<SocksProxy>(SocksProxy::Kind::Socks5, login[0], login[1]);
                port = proxy->port();
            }
            EXPECT_EQ(1, sender.client->SetProxy(u"127.0.0.1", port, PROXY_SOCKS5,
                                                 use[0].empty() ? nullptr : Utf16(use[0]).c_str(),
                                                 use[1].empty() ? nullptr : Utf16(use[1]).c_str()));
        }
        EXPECT_EQ(row["result"], sender.send());
        EXPECT_EQ(row.value("last_result", 0), sender.client->GetLastResult()); // 0 for success
        if (row["result"] != SMTP_SUCCESS) {
            EXPECT_FALSE(peer.waitForMessages(1, std::chrono::milliseconds(100)));
            continue;
        }
        ASSERT_TRUE(peer.waitForMessages(1));
        const auto stored = peer.messages()[0];
        EXPECT_EQ("sender@example.org", stored.mailFrom);
        EXPECT_EQ(std::vector<std::string>{"rcpt@example.org"}, stored.recipients);
        const json envelope = row.value("envelope", json::object());
        EXPECT_EQ(envelope.value("auth_user", ""), stored.authUser);
        EXPECT_EQ(envelope.value("tls", false), stored.tls);
    }
}

TEST(ConnectionOptions, RequiredTlsThatTheServerDoesNotOffer) {
    SmtpPeer plain;
    Sender sender(plain.port());
    EXPECT_EQ(SMTP_ERR_GENERAL, sender.send());
    EXPECT_EQ(64, sender.client->GetLastResult()); // CURLE_USE_SSL_FAILED has no entry
    EXPECT_FALSE(plain.waitForMessages(1, std::chrono::milliseconds(100)));

    // Without TLS the same server takes the message.
    sender.client->SetUseTls(false);
    EXPECT_EQ(SMTP_SUCCESS, sender.send());
}

TEST(ConnectionOptions, TlsVersions) {
    SmtpPeer peer(StartTls());
    Sender sender(peer.port());
    for (int version : {0, 3, 4, 7}) {
        sender.client->SetTlsVersion(version);
        EXPECT_EQ(SMTP_SUCCESS, sender.send()) << "version " << version;
    }
    // The test server does not speak TLS 1.0.
    sender.client->SetTlsVersion(1);
    EXPECT_EQ(SMTP_ERR_SSL_CONNECT, sender.send());
    EXPECT_EQ(35, sender.client->GetLastResult());
}

TEST(ConnectionOptions, ExactVersionIsWhatTheSessionUses) {
    testsupport::TempDir folder;
    SmtpPeer peer(StartTls());
    Sender sender(peer.port());
    const std::string log = folder.file("tls.log");
    sender.client->SetLogFile(testsupport::Utf16(log).c_str(), false);
    sender.client->SetTlsVersion(3);
    ASSERT_EQ(SMTP_SUCCESS, sender.send());
    EXPECT_NE(std::string::npos,
              testsupport::ReadFileBytes(log).find("SSL connection using TLSv1.2"));
    sender.client->SetTlsVersion(4);
    ASSERT_EQ(SMTP_SUCCESS, sender.send());
    EXPECT_NE(std::string::npos,
              testsupport::ReadFileBytes(log).find("SSL connection using TLSv1.3"));
}

TEST(ConnectionOptions, CertificateStatusCheckNeedsAStapledResponse) {
    SmtpPeer peer(StartTls());
    Sender sender(peer.port());
    sender.client->SetVerifyStatus(true);
    EXPECT_EQ(SMTP_ERR_GENERAL, sender.send());
    EXPECT_EQ(91, sender.client->GetLastResult()); // CURLE_SSL_INVALIDCERTSTATUS has no entry
    sender.client->SetVerifyStatus(false);
    EXPECT_EQ(SMTP_SUCCESS, sender.send());
}

TEST(ConnectionOptions, PeerVerificationRefusesAnUnknownCertificate) {
    SmtpPeer peer(StartTls());
    Sender sender(peer.port());
    sender.client->SetVerifyPeer(1);
    EXPECT_EQ(SMTP_ERR_CERT_REVOKED, sender.send());
    EXPECT_EQ(60, sender.client->GetLastResult());
    sender.client->SetVerifyPeer(0);
    EXPECT_EQ(SMTP_SUCCESS, sender.send());
}

TEST(ConnectionOptions, ConnectTimeOut) {
    SmtpPeerOptions options;
    options.neverGreet = true;
    SmtpPeer silent(options);
    Sender sender(silent.port());
    sender.client->SetConnectTimeout(1);
    EXPECT_EQ(SMTP_ERR_TIMEOUT, sender.send());
    EXPECT_EQ(28, sender.client->GetLastResult());
}

TEST(ConnectionOptions, UnresolvableHost) {
    Sender sender(25);
    sender.client->SetHost(u"no-such-host.invalid");
    EXPECT_EQ(SMTP_ERR_RESOLVE_HOST, sender.send());
    EXPECT_EQ(6, sender.client->GetLastResult());
}

} // namespace
