// The SMTP test peer, driven by libcurl directly: what it accepts, refuses and stores in each
// mode, and what mime_report.py reports of a stored message.
#include "mime_report.h"
#include "smtp_peer.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstring>
#include <string>
#include <utility>
#include <vector>

using testsupport::InspectMime;
using testsupport::SmtpPeer;
using testsupport::SmtpPeerOptions;
using testsupport::StoredMessage;
using testsupport::TestCertificate;

namespace {

struct Submission {
    explicit Submission(std::string serverUrl) : url(std::move(serverUrl)) {}
    std::string url;
    std::string from = "sender@example.com";
    std::vector<std::string> recipients = {"rcpt@example.com"};
    std::string payload = "Subject: hello\r\n\r\nHello.\r\n";
    std::string user;
    std::string password;
    std::string bearer;
    bool useTls = false;
    long connectTimeout = 10;
};

struct Upload {
    const std::string* data;
    size_t offset = 0;
};

size_t ReadUpload(char* buffer, size_t size, size_t count, void* userdata) {
    auto* upload = static_cast<Upload*>(userdata);
    const size_t n = std::min(size * count, upload->data->size() - upload->offset);
    std::memcpy(buffer, upload->data->data() + upload->offset, n);
    upload->offset += n;
    return n;
}

CURLcode Send(const Submission& s) {
    CURL* curl = curl_easy_init();
    curl_slist* rcpt = nullptr;
    for (const std::string& r : s.recipients)
        rcpt = curl_slist_append(rcpt, r.c_str());
    Upload upload{&s.payload};
    curl_easy_setopt(curl, CURLOPT_URL, s.url.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_FROM, s.from.c_str());
    curl_easy_setopt(curl, CURLOPT_MAIL_RCPT, rcpt);
    curl_easy_setopt(curl, CURLOPT_UPLOAD, 1L);
    curl_easy_setopt(curl, CURLOPT_READFUNCTION, ReadUpload);
    curl_easy_setopt(curl, CURLOPT_READDATA, &upload);
    curl_easy_setopt(curl, CURLOPT_CONNECTTIMEOUT, s.connectTimeout);
    curl_easy_setopt(curl, CURLOPT_TIMEOUT, 20L);
    if (!s.user.empty())
        curl_easy_setopt(curl, CURLOPT_USERNAME, s.user.c_str());
    if (!s.password.empty())
        curl_easy_setopt(curl, CURLOPT_PASSWORD, s.password.c_str());
    if (!s.bearer.empty())
        curl_easy_setopt(curl, CURLOPT_XOAUTH2_BEARER, s.bearer.c_str());
    curl_easy_setopt(curl, CURLOPT_USE_SSL,
                     s.useTls ? long(CURLUSESSL_ALL) : long(CURLUSESSL_NONE));
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(curl, CURLOPT_SSL_VERIFYHOST, 0L);
    const CURLcode result = curl_easy_perform(curl);
    curl_slist_free_all(rcpt);
    curl_easy_cleanup(curl);
    return result;
}

SmtpPeerOptions WithTls(SmtpPeerOptions options = {}) {
    options.certFile = TestCertificate().certFile;
    options.keyFile = TestCertificate().keyFile;
    return options;
}

// Messages that must never be stored need no waiting: the refusal came before DATA ended.
void ExpectNothingStored(const SmtpPeer& peer) {
    EXPECT_TRUE(peer.messages().empty());
}

TEST(SmtpPeer, PlainServerStoresEnvelopeAndRawDataInOrder) {
    SmtpPeer peer;
    Submission first(peer.url());
    first.recipients = {"a@example.com", "b@example.org"};
    // A line starting with a dot is stuffed by the client and must come back unstuffed.
    first.payload = "Subject: first\r\n\r\nline one\r\n.hidden\r\n";
    ASSERT_EQ(CURLE_OK, Send(first));
    Submission second(peer.url());
    second.from = "other@example.net";
    ASSERT_EQ(CURLE_OK, Send(second));

    ASSERT_TRUE(peer.waitForMessages(2));
    const std::vector<StoredMessage> stored = peer.messages();
    ASSERT_EQ(2u, stored.size());
    EXPECT_EQ(1, stored[0].index);
    EXPECT_EQ("sender@example.com", stored[0].mailFrom);
    EXPECT_EQ((std::vector<std::string>{"a@example.com", "b@example.org"}), stored[0].recipients);
    EXPECT_EQ(first.payload, stored[0].data);
    EXPECT_FALSE(stored[0].tls);
    EXPECT_EQ("", stored[0].authUser);
    EXPECT_EQ("other@example.net", stored[1].mailFrom);
    EXPECT_EQ(second.payload, stored[1].data);
}

TEST(SmtpPeer, MimeInspectDecodesHeadersAndPartTree) {
    SmtpPeer peer;
    Submission s(peer.url());
    s.payload = "From: =?UTF-8?b?SsO8cmdlbiBXZWnDnw==?= <j@example.com>\r\n"
                "To: a@example.com,\r\n b@example.com\r\n"
                "Subject: =?UTF-8?b?R3LDvMOfZQ==?= an alle\r\n"
                "X-Face-Name: =?UTF-8?b?8J+YgA==?=\r\n"
                "MIME-Version: 1.0\r\n"
                "Content-Type: multipart/mixed; boundary=\"BOUNDARY\"\r\n"
                "\r\n"
                "--BOUNDARY\r\n"
                "Content-Type: text/plain; charset=UTF-8\r\n"
                "Content-Transfer-Encoding: base64\r\n"
                "\r\n"
                "R3LDvMOfZQ==\r\n"
                "--BOUNDARY\r\n"
                "Content-Type: application/octet-stream\r\n"
                "Content-Disposition: attachment; filename=\"data.bin\"\r\n"
                "Content-ID: <part2@example.com>\r\n"
                "Content-Transfer-Encoding: base64\r\n"
                "\r\n"
                "AAEC/w==\r\n"
                "--BOUNDARY--\r\n";
    ASSERT_EQ(CURLE_OK, Send(s));
    ASSERT_TRUE(peer.waitForMessages(1));

    const testsupport::MimeReport report = InspectMime(peer.messages().at(0).emlPath);
    EXPECT_TRUE(report.defects.empty());
    const testsupport::MimePart& root = report.root;
    EXPECT_EQ("J\xC3\xBCrgen Wei\xC3\x9F <j@example.com>", root.headerValue("from"));
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e an alle",
              root.headerValue("Subject"));
    EXPECT_EQ("=?UTF-8?b?R3LDvMOfZQ==?= an alle", root.header("Subject")->raw);
    EXPECT_EQ("a@example.com, b@example.com", root.headerValue("To"));
    EXPECT_EQ(1u, root.headerCount("To"));
    EXPECT_EQ("\xF0\x9F\x98\x80", root.headerValue("X-Face-Name")) << "outside the BMP";
    EXPECT_EQ("multipart/mixed", root.contentType);
    ASSERT_EQ(2u, root.children.size());

    const testsupport::MimePart& text = root.children[0];
    EXPECT_EQ("text/plain", text.contentType);
    EXPECT_EQ("UTF-8", text.charset);
    EXPECT_EQ("base64", text.transferEncoding);
    EXPECT_TRUE(text.hasText);
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e",
              text.text);
    EXPECT_EQ("", text.disposition);

    const testsupport::MimePart& file = root.children[1];
    EXPECT_EQ("attachment", file.disposition);
    EXPECT_EQ("data.bin", file.filename);
    EXPECT_EQ("<part2@example.com>", file.contentId);
    EXPECT_EQ(std::string("\x00\x01\x02\xFF", 4), file.data);
    EXPECT_FALSE(file.hasText);
}

TEST(SmtpPeer, RejectedRecipientFailsTheSend) {
    SmtpPeerOptions options;
    options.rejectRecipients = {"Nobody@example.com"};
    SmtpPeer peer(options);
    Submission s(peer.url());
    s.recipients = {"nobody@example.com"};
    EXPECT_EQ(CURLE_SEND_ERROR, Send(s));
    ExpectNothingStored(peer);

    s.recipients = {"somebody@example.com"};
    EXPECT_EQ(CURLE_OK, Send(s));
    EXPECT_TRUE(peer.waitForMessages(1));
}

TEST(SmtpPeer, StartTlsIsOfferedAndCanBeRequired) {
    SmtpPeer offering(WithTls());
    Submission s(offering.url());
    s.useTls = true;
    ASSERT_EQ(CURLE_OK, Send(s));
    ASSERT_TRUE(offering.waitForMessages(1));
    EXPECT_TRUE(offering.messages().at(0).tls);

    SmtpPeerOptions required = WithTls();
    required.requireTls = true;
    SmtpPeer requiring(required);
    Submission plain(requiring.url());
    EXPECT_EQ(CURLE_SEND_ERROR, Send(plain)) << "MAIL before STARTTLS is refused";
    ExpectNothingStored(requiring);

    // A client that requires TLS from a server that does not offer it gives up.
    SmtpPeer withoutTls;
    Submission insisting(withoutTls.url());
    insisting.useTls = true;
    EXPECT_EQ(CURLE_USE_SSL_FAILED, Send(insisting));
    ExpectNothingStored(withoutTls);
}

TEST(SmtpPeer, LoginAndPasswordAreRequiredAndChecked) {
    SmtpPeerOptions options = WithTls();
    options.user = "ann";
    options.password = "s3cret";
    SmtpPeer peer(options);

    Submission good(peer.url());
    good.useTls = true;
    good.user = "ann";
    good.password = "s3cret";
    ASSERT_EQ(CURLE_OK, Send(good));

    Submission wrong = good;
    wrong.password = "guess";
    EXPECT_EQ(CURLE_LOGIN_DENIED, Send(wrong));

    Submission anonymous(peer.url());
    anonymous.useTls = true;
    EXPECT_EQ(CURLE_SEND_ERROR, Send(anonymous)) << "MAIL without AUTH is refused";

    ASSERT_TRUE(peer.waitForMessages(1));
    const std::vector<StoredMessage> stored = peer.messages();
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ("ann", stored[0].authUser);
    EXPECT_TRUE(stored[0].tls);
}

TEST(SmtpPeer, AuthOverPlainConnectionOnlyWhenAllowed) {
    SmtpPeerOptions options;
    options.user = "ann";
    options.password = "s3cret";
    options.authWithoutTls = true;
    SmtpPeer allowing(options);
    Submission s(allowing.url());
    s.user = "ann";
    s.password = "s3cret";
    EXPECT_EQ(CURLE_OK, Send(s));
    ASSERT_TRUE(allowing.waitForMessages(1));
    EXPECT_EQ("ann", allowing.messages().at(0).authUser);
    EXPECT_FALSE(allowing.messages().at(0).tls);

    // Without the option AUTH is not offered before TLS, so MAIL meets "authentication
    // required".
    options.authWithoutTls = false;
    SmtpPeer refusing(options);
    s.url = refusing.url();
    EXPECT_EQ(CURLE_SEND_ERROR, Send(s));
    ExpectNothingStored(refusing);
}

TEST(SmtpPeer, XOAuth2BearerTokenIsChecked) {
    SmtpPeerOptions options = WithTls();
    options.xoauth2Token = "ya29.token-value";
    SmtpPeer peer(options);

    Submission good(peer.url());
    good.useTls = true;
    good.user = "ann@example.com";
    good.bearer = "ya29.token-value";
    ASSERT_EQ(CURLE_OK, Send(good));
    ASSERT_TRUE(peer.waitForMessages(1));
    EXPECT_EQ("ann@example.com", peer.messages().at(0).authUser);

    Submission wrong = good;
    wrong.bearer = "expired";
    EXPECT_EQ(CURLE_LOGIN_DENIED, Send(wrong));
    EXPECT_EQ(1u, peer.messages().size());
}

TEST(SmtpPeer, NeverGreetingServerTimesOut) {
    SmtpPeerOptions options;
    options.neverGreet = true;
    SmtpPeer peer(options);
    Submission s(peer.url());
    s.connectTimeout = 2;
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(CURLE_OPERATION_TIMEDOUT, Send(s));
    const auto took = std::chrono::steady_clock::now() - start;
    EXPECT_GE(took, std::chrono::milliseconds(1800));
    EXPECT_LT(took, std::chrono::seconds(6));
}

TEST(SmtpPeer, ServerProcessEndsWithTheFixture) {
    pid_t pid = 0;
    {
        SmtpPeer peer;
        pid = peer.pid();
        ASSERT_GT(pid, 0);
        EXPECT_EQ(0, kill(pid, 0));
    }
    const int result = kill(pid, 0);
    const int error = errno;
    EXPECT_EQ(-1, result) << "the server was stopped and reaped";
    EXPECT_EQ(ESRCH, error);
}

} // namespace
