// Synchronous sends through the public interface to a real SMTP server, checked on the raw
// bytes that arrived and with an independent MIME parser.
#include "library_objects.h"
#include "message_pump.h"
#include "mime_report.h"
#include "recording_callback.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>
#include <nlohmann/json.hpp>

#include <algorithm>
#include <fstream>
#include <memory>
#include <random>
#include <regex>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::MimePart;
using testsupport::SmtpPeer;
using testsupport::Utf16;
using testsupport::Utf8;

namespace {

using testsupport::ClientPtr;
using testsupport::MessagePtr;

ClientPtr NewClient(int port) {
    ClientPtr client(Library().createSmtpClient());
    client->SetHost(u"127.0.0.1");
    client->SetPort(port);
    client->SetUseTls(false);
    client->SetConnectTimeout(5);
    return client;
}

MessagePtr NewMessage() {
    MessagePtr message(Library().createMimeMessage());
    message->SetSender(u"sender@example.org", nullptr);
    message->AddRecipient(u"rcpt@example.org", nullptr);
    return message;
}

// The header section of a raw message: everything before the first empty line.
std::string HeaderSection(const std::string& data) {
    return data.substr(0, data.find("\r\n\r\n") + 2);
}

// Sends one message and returns what the server stored.
testsupport::StoredMessage SendOne(SmtpPeer& peer, IMimeMessage* message) {
    ClientPtr client = NewClient(peer.port());
    client->SetMimeMessage(message);
    EXPECT_EQ(SMTP_SUCCESS, client->Send());
    EXPECT_TRUE(peer.waitForMessages(1));
    const auto messages = peer.messages();
    return messages.empty() ? testsupport::StoredMessage{} : messages.back();
}

TEST(Send, HeaderBlockLinesInOrder) {
    SmtpPeer peer;
    MessagePtr message = NewMessage();
    const auto stored = SendOne(peer, message.get());
    EXPECT_EQ("sender@example.org", stored.mailFrom);
    ASSERT_EQ(std::vector<std::string>{"rcpt@example.org"}, stored.recipients);

    const std::string headers = HeaderSection(stored.data);
    const std::regex block("From: sender@example.org\r\n"
                           "To: rcpt@example.org\r\n"
                           "X-Priority: 3 \r\n"
                           "Date: [^\r\n]+\r\n"
                           "Subject: \r\n"
                           "Message-ID: <[0-9A-F-]{36}@[^>\r\n]*>\r\n");
    EXPECT_TRUE(std::regex_search(headers, block)) << headers;
    EXPECT_EQ(std::string::npos, headers.find("\nCc:"));
    EXPECT_TRUE(testsupport::InspectMime(stored.emlPath).defects.empty());
}

TEST(Send, DisplayNamesQuotedEscapedAndEncoded) {
    SmtpPeer peer;
    MessagePtr message(Library().createMimeMessage());
    message->SetSender(u"jw@example.org", u"J\u00fcrgen Wei\u00df");
    message->AddRecipient(u"ann@example.org", u"Doe, Ann");
    message->AddRecipient(u"boss@example.org", u"The \"Boss\"");
    message->AddRecipient(u"plain@example.org", u"Ann Doe");
    message->AddCc(u"cc@example.org", u"Copy");
    message->SetSubject(u"Gr\u00fc\u00dfe an alle");
    const auto stored = SendOne(peer, message.get());

    const std::string headers = HeaderSection(stored.data);
    EXPECT_NE(std::string::npos,
              headers.find("From: =?UTF-8?b?SsO8cmdlbiBXZWnDnw==?= <jw@example.org>\r\n"))
        << headers;
    EXPECT_NE(std::string::npos, headers.find("To: \"Doe, Ann\" <ann@example.org>,\r\n "
                                              "\"The \\\"Boss\\\"\" <boss@example.org>,\r\n "
                                              "Ann Doe <plain@example.org>\r\n"))
        << headers;
    EXPECT_NE(std::string::npos, headers.find("Cc: Copy <cc@example.org>\r\n"));
    EXPECT_NE(std::string::npos, headers.find("Subject: =?UTF-8?b?R3LDvMOfZQ==?= an alle\r\n"));

    const auto report = testsupport::InspectMime(stored.emlPath);
    EXPECT_EQ("J\xC3\xBCrgen Wei\xC3\x9F <jw@example.org>", report.root.headerValue("From"));
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e an alle",
              report.root.headerValue("Subject"));
    EXPECT_EQ(std::vector<std::string>(
                  {"ann@example.org", "boss@example.org", "plain@example.org", "cc@example.org"}),
              stored.recipients);
}

TEST(Send, PriorityLines) {
    SmtpPeer peer;
    ClientPtr client = NewClient(peer.port());
    MessagePtr message = NewMessage();
    client->SetMimeMessage(message.get());
    for (int priority : {int(PRIORITY_LOW), int(PRIORITY_HIGH), 5}) {
        message->SetPriority(priority);
        EXPECT_EQ(SMTP_SUCCESS, client->Send());
    }
    ASSERT_TRUE(peer.waitForMessages(3));
    const auto messages = peer.messages();
    EXPECT_NE(std::string::npos, HeaderSection(messages[0].data).find("\r\nX-Priority: 4 \r\n"));
    EXPECT_NE(std::string::npos, HeaderSection(messages[1].data).find("\r\nX-Priority: 2 \r\n"));
    EXPECT_EQ(std::string::npos, HeaderSection(messages[2].data).find("X-Priority"));
}

TEST(Send, BccOnlyInTheEnvelope) {
    SmtpPeer peer;
    MessagePtr message(Library().createMimeMessage());
    message->SetSender(u"sender@example.org", nullptr);
    message->AddBcc(u"hidden@example.org", u"Hidden");
    message->AddCc(u"cc@example.org", nullptr);
    message->AddRecipient(u"to@example.org", nullptr);
    message->SetTextBody(u"secret list");
    const auto stored = SendOne(peer, message.get());
    EXPECT_EQ(std::vector<std::string>({"to@example.org", "cc@example.org", "hidden@example.org"}),
              stored.recipients);
    EXPECT_EQ(std::string::npos, stored.data.find("hidden@example.org"));
    EXPECT_EQ(std::string::npos, stored.data.find("Bcc"));
}

TEST(Send, LineBreaksInHeaderTextCannotInjectHeaders) {
    SmtpPeer peer;
    MessagePtr message(Library().createMimeMessage());
    message->SetSender(u"sender@example.org", u"Eve\r\nBcc: evil@example.org");
    message->AddRecipient(u"rcpt@example.org", nullptr);
    message->SetSubject(u"Hi\r\nBcc: x@y");
    const auto stored = SendOne(peer, message.get());
    const auto report = testsupport::InspectMime(stored.emlPath);
    EXPECT_EQ(1u, report.root.headerCount("Subject"));
    EXPECT_EQ(0u, report.root.headerCount("Bcc"));
    EXPECT_EQ("Hi  Bcc: x@y", report.root.headerValue("Subject"));
    EXPECT_EQ(std::vector<std::string>{"rcpt@example.org"}, stored.recipients);
}

TEST(Send, BodiesDecodeBackInEachCharset) {
    const std::string text = "Gr\xC3\xBC\xC3\x9F"
                             "e, Stra\xC3\x9F"
                             "e\nZeile zwei";
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE\xE3\x83\x86"
                                 "\xE3\x82\xAD\xE3\x82\xB9\xE3\x83\x88";
    struct Case {
        const char16_t* charset;
        std::string text;
    };
    for (const Case& c :
         {Case{u"UTF-8", text}, Case{u"ISO-8859-1", text}, Case{u"Shift_JIS", japanese}}) {
        SmtpPeer peer;
        MessagePtr message = NewMessage();
        message->SetCharset(c.charset);
        message->SetTextBody(Utf16(c.text).c_str());
        message->SetHtmlBody(Utf16("<p>" + c.text + "</p>").c_str());
        const auto stored = SendOne(peer, message.get());
        const auto report = testsupport::InspectMime(stored.emlPath);
        ASSERT_EQ(1u, report.root.children.size()) << Utf8(c.charset);
        const MimePart& alternative = report.root.children[0];
        EXPECT_EQ("multipart/alternative", alternative.contentType);
        EXPECT_EQ("inline", alternative.disposition);
        ASSERT_EQ(2u, alternative.children.size());
        const MimePart& plain = alternative.children[0];
        const MimePart& html = alternative.children[1];
        EXPECT_EQ("text/html", html.contentType);
        EXPECT_EQ("text/plain", plain.contentType);
        EXPECT_EQ(Utf8(c.charset), plain.charset);
        ASSERT_TRUE(plain.hasText) << Utf8(c.charset);
        // Line ends arrive as CR LF, never as a bare LF.
        std::string expected = std::regex_replace(c.text, std::regex("\n"), "\r\n");
        EXPECT_EQ(expected, std::regex_replace(plain.text, std::regex("\r?\n"), "\r\n"));
        EXPECT_EQ("<p>" + c.text + "</p>", html.text);
        EXPECT_EQ(std::string::npos,
                  std::regex_replace(stored.data, std::regex("\r\n"), "").find('\n'))
            << "bare LF on the wire";
    }
}

TEST(Send, TreeOrderInlineImagesAndAttachments) {
    testsupport::TempDir files;
    const std::string png = files.write("logo.png", std::string("\x89PNG\r\n\x1a\n\0\0", 10));
    std::mt19937 random(7);
    std::string binary(3 * 1024 * 1024 + 17, '\0');
    for (char& byte : binary)
        byte = char(random());
    const std::string big = files.write("data.bin", binary);
    const std::string note = files.write("note.txt", "plain note\n");

    SmtpPeer peer;
    MessagePtr message = NewMessage();
    message->SetTextBody(u"See the logo.");
    message->SetHtmlBody(Utf16("<img src=\"cid:logo\">").c_str());
    ASSERT_EQ(1, message->AddInlineImage(Utf16(png).c_str(), u"logo"));
    ASSERT_EQ(1, message->AddAttachment(Utf16(big).c_str()));
    ASSERT_EQ(2, message->AddAttachment(Utf16(note).c_str()));
    const auto stored = SendOne(peer, message.get());

    // Root: the related part (the bodies' alternative first, then the image), then each
    // attachment directly.
    const auto report = testsupport::InspectMime(stored.emlPath);
    EXPECT_TRUE(report.defects.empty());
    EXPECT_EQ("multipart/mixed", report.root.contentType);
    ASSERT_EQ(3u, report.root.children.size());
    const MimePart& related = report.root.children[0];
    EXPECT_EQ("multipart/related", related.contentType);

    ASSERT_EQ(2u, related.children.size());
    const MimePart& alternative = related.children[0];
    EXPECT_EQ("multipart/alternative", alternative.contentType);
    ASSERT_EQ(2u, alternative.children.size());
    EXPECT_EQ("text/plain", alternative.children[0].contentType);
    EXPECT_EQ("text/html", alternative.children[1].contentType);
    const MimePart& image = related.children[1];
    EXPECT_EQ("<logo>", image.contentId);
    EXPECT_EQ("image/png", image.contentType);
    EXPECT_EQ("inline", image.disposition);
    EXPECT_EQ("base64", image.transferEncoding);
    EXPECT_EQ(std::string("\x89PNG\r\n\x1a\n\0\0", 10), image.data);

    const MimePart& data = report.root.children[1];
    const MimePart& noteFile = report.root.children[2];
    EXPECT_EQ("data.bin", data.filename);
    EXPECT_EQ("attachment", data.disposition);
    EXPECT_EQ("application/octet-stream", data.contentType);
    EXPECT_EQ("base64", data.transferEncoding);
    EXPECT_TRUE(binary == data.data) << "attachment bytes differ";
    EXPECT_EQ("note.txt", noteFile.filename);
    EXPECT_EQ("text/plain", noteFile.contentType);
    EXPECT_EQ("plain note\n", noteFile.data);
}

TEST(Send, ContentIdCannotInjectPartHeaders) {
    testsupport::TempDir files;
    const std::string png = files.write("a.png", "png");
    SmtpPeer peer;
    MessagePtr message = NewMessage();
    message->SetHtmlBody(u"<img src=\"cid:a\">");
    message->AddInlineImage(Utf16(png).c_str(), u"a\r\nX-Injected: yes");
    const auto stored = SendOne(peer, message.get());
    EXPECT_EQ(std::string::npos, stored.data.find("\r\nX-Injected"));
    const auto report = testsupport::InspectMime(stored.emlPath);
    ASSERT_EQ(1u, report.root.children.size());
    EXPECT_EQ("<aX-Injected: yes>", report.root.children[0].children.at(1).contentId);
}

TEST(Send, NoBodyGivesOneEmptyPart) {
    SmtpPeer peer;
    MessagePtr message = NewMessage();
    const auto stored = SendOne(peer, message.get());
    const auto report = testsupport::InspectMime(stored.emlPath);
    ASSERT_EQ(1u, report.root.children.size());
    EXPECT_EQ("", report.root.children[0].data);
}

TEST(SendFailures, PreparationOrder) {
    // No host: the host test comes before the message.
    ClientPtr client(Library().createSmtpClient());
    EXPECT_EQ(SMTP_ERR_BAD_HOST, client->Send());
    EXPECT_EQ(3, client->GetLastResult());

    client->SetHost(u"127.0.0.1");
    client->SetPort(1);
    EXPECT_EQ(SMTP_ERR_GENERAL, client->Send());
    EXPECT_EQ(-1, client->GetLastResult());

    // Neither sender nor recipients: the sender comes first.
    MessagePtr message(Library().createMimeMessage());
    client->SetMimeMessage(message.get());
    EXPECT_EQ(SMTP_ERR_NO_SENDER, client->Send());
    EXPECT_EQ(-2, client->GetLastResult());

    message->SetSender(u"a@b", nullptr);
    EXPECT_EQ(SMTP_ERR_NO_RECIPIENTS, client->Send());
    EXPECT_EQ(-3, client->GetLastResult());

    // The default port -1 is refused by the transfer library before any connection.
    message->AddRecipient(u"c@d", nullptr);
    client->SetPort(-1);
    EXPECT_EQ(SMTP_ERR_GENERAL, client->Send());
    EXPECT_EQ(43, client->GetLastResult());
}

TEST(SendFailures, UnknownCharsetFailsOnlyWhenSomethingMustBeConverted) {
    SmtpPeer peer;
    ClientPtr client = NewClient(peer.port());
    MessagePtr message = NewMessage();
    message->SetCharset(u"X-NONE");
    client->SetMimeMessage(message.get());
    // All-ASCII headers compose, but the body is converted in any case.
    message->SetTextBody(u"ascii");
    EXPECT_EQ(SMTP_ERR_CHARSET_UNSUPPORTED, client->Send());
    message->SetTextBody(u"");
    message->SetSender(u"s@example.org", u"J\u00fcrgen");
    EXPECT_EQ(SMTP_ERR_CHARSET_UNSUPPORTED, client->Send());
    EXPECT_EQ(-21, client->GetLastResult());
    EXPECT_FALSE(peer.waitForMessages(1, std::chrono::milliseconds(200)));
}

TEST(SendFailures, ConnectionRefused) {
    int port;
    {
        SmtpPeer peer; // a port that was just free and is closed again
        port = peer.port();
    }
    ClientPtr client = NewClient(port);
    MessagePtr message = NewMessage();
    client->SetMimeMessage(message.get());
    EXPECT_EQ(SMTP_ERR_CONNECT, client->Send());
    EXPECT_EQ(7, client->GetLastResult());
}

TEST(SendFailures, TwoSendsInARowAndTheLastResult) {
    SmtpPeer peer;
    ClientPtr client = NewClient(peer.port());
    MessagePtr message = NewMessage();
    client->SetMimeMessage(message.get());
    EXPECT_EQ(SMTP_SUCCESS, client->Send());
    EXPECT_EQ(0, client->GetLastResult());
    EXPECT_EQ(SMTP_SUCCESS, client->Send());
    EXPECT_EQ(0, client->GetLastResult());
    ASSERT_TRUE(peer.waitForMessages(2));
    EXPECT_EQ(2u, peer.messages().size());
}

} // namespace

namespace {

TEST(Send, AttachmentFileNameCannotInjectPartHeaders) {
    testsupport::TempDir files;
    const std::string path = files.write("a.txt\"\r\nX-Injected: yes\r\nY: \"", "content");
    SmtpPeer peer;
    MessagePtr message = NewMessage();
    ASSERT_EQ(1, message->AddAttachment(Utf16(path).c_str()));
    const auto stored = SendOne(peer, message.get());
    EXPECT_EQ(std::string::npos, stored.data.find("\r\nX-Injected"));
    const auto report = testsupport::InspectMime(stored.emlPath);
    ASSERT_EQ(2u, report.root.children.size());
    const MimePart& attachment = report.root.children[1];
    EXPECT_EQ("a.txt\"X-Injected: yesY: \"", attachment.filename);
    EXPECT_EQ("content", attachment.data);
}

TEST(SendFailures, CharsetNameThatWouldBreakAHeaderLine) {
    SmtpPeer peer;
    ClientPtr client = NewClient(peer.port());
    MessagePtr message = NewMessage();
    message->SetSender(u"s@example.org", u"J\u00fcrgen");
    client->SetMimeMessage(message.get());
    for (const char16_t* charset : {u"UTF-8\r\n\r\n", u"UTF-8?="}) {
        message->SetCharset(charset);
        EXPECT_EQ(SMTP_ERR_CHARSET_UNSUPPORTED, client->Send()) << Utf8(charset);
    }
    EXPECT_FALSE(peer.waitForMessages(1, std::chrono::milliseconds(100)));
}

} // namespace

// Addresses arrive as the host wrote them: a domain outside ASCII as its A-label in the envelope
// and the header fields, a local part outside ASCII as UTF-8 with SMTPUTF8, or, to a server
// without SMTPUTF8, not at all. The rows are shared with the Wine runner.
TEST(Send, InternationalAddresses) {
    std::ifstream file(SEND_SCENARIOS_PATH);
    nlohmann::json rows = nlohmann::json::parse(file).at("international_addresses");
    // Linux's own row: under Wine the domain is taken (IdnToAscii makes an A-label of it).
    rows.push_back({{"name", "domain that is no name"},
                    {"recipient", "x@\u0301b\u00fccher.example"},
                    {"smtputf8", true},
                    {"result", SMTP_ERR_CONVERT_PARAM}});
    for (const nlohmann::json& row : rows) {
        SCOPED_TRACE(row["name"].get<std::string>());
        testsupport::SmtpPeerOptions options;
        options.smtputf8 = row["smtputf8"];
        SmtpPeer peer(options);
        MessagePtr message(Library().createMimeMessage());
        message->SetSender(Utf16(row.value("sender", "sender@example.org")).c_str(), nullptr);
        message->AddRecipient(Utf16(row["recipient"]).c_str(), nullptr);
        ClientPtr client = NewClient(peer.port());
        client->SetHost(Utf16(row.value("host", "127.0.0.1")).c_str());
        client->SetMimeMessage(message.get());
        EXPECT_EQ(row["result"], client->Send());
        // The worker's transfer is guarded the same way.
        testsupport::RecordingCallback callback;
        client->SetCallback(&callback);
        client->SendAsync();
        ASSERT_TRUE(testsupport::PumpMessagesUntil([&] { return !callback.completions.empty(); }));
        EXPECT_EQ(row["result"], callback.completions[0].result);
        if (!row.contains("mail_from")) {
            EXPECT_TRUE(peer.messages().empty());
            continue;
        }
        const std::string mailFrom = row["mail_from"], rcptTo = row["rcpt_to"];
        ASSERT_TRUE(peer.waitForMessages(2));
        const auto stored = peer.messages().front();
        EXPECT_EQ(mailFrom, stored.mailFrom);
        EXPECT_EQ(std::vector<std::string>{rcptTo}, stored.recipients);
        // Every row a server with SMTPUTF8 takes has an international local part.
        const auto& mailOptions = stored.mailOptions;
        EXPECT_EQ(row["smtputf8"].get<bool>(),
                  std::count(mailOptions.begin(), mailOptions.end(), "SMTPUTF8") == 1);
        const std::string headers = HeaderSection(stored.data);
        EXPECT_NE(std::string::npos, headers.find("From: " + mailFrom + "\r\n"));
        EXPECT_NE(std::string::npos, headers.find("To: " + rcptTo + "\r\n"));
    }
}
