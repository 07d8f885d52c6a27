// Connection settings against real peers: login, bearer token, TLS requirement and version,
// certificate checks and the connect time-out, each seen in its result code.
#include "library_objects.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <memory>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::SmtpPeer;
using testsupport::SmtpPeerOptions;
using testsupport::TestCertificate;

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

TEST(ConnectionOptions, LoginAfterStartTls) {
    SmtpPeerOptions options = StartTls();
    options.user = "ann";
    options.password = "s3cret";
    SmtpPeer peer(options);

    Sender right(peer.port());
    right.client->SetUser(u"ann");
    right.client->SetPassword(u"s3cret");
    EXPECT_EQ(SMTP_SUCCESS, right.send());
    ASSERT_TRUE(peer.waitForMessages(1));
    EXPECT_EQ("ann", peer.messages()[0].authUser);
    EXPECT_TRUE(peer.messages()[0].tls);

    Sender wrong(peer.port());
    wrong.client->SetUser(u"ann");
    wrong.client->SetPassword(u"guess");
    EXPECT_EQ(SMTP_ERR_LOGIN_DENIED, wrong.send());
    EXPECT_EQ(67, wrong.client->GetLastResult());
}

TEST(ConnectionOptions, BearerToken) {
    SmtpPeerOptions options = StartTls();
    options.xoauth2Token = "token-123";
    SmtpPeer peer(options);

    Sender right(peer.port());
    right.client->SetUser(u"ann@example.org");
    right.client->SetBearerToken(u"token-123");
    EXPECT_EQ(SMTP_SUCCESS, right.send());
    ASSERT_TRUE(peer.waitForMessages(1));
    EXPECT_EQ("ann@example.org", peer.messages()[0].authUser);

    Sender wrong(peer.port());
    wrong.client->SetUser(u"ann@example.org");
    wrong.client->SetBearerToken(u"expired");
    EXPECT_EQ(SMTP_ERR_LOGIN_DENIED, wrong.send());
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
