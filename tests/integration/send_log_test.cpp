// The protocol log of synchronous sends, written to real files.
#include "library_objects.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "utf16.h"

#include <curl/curl.h>
#include <gtest/gtest.h>

#include <memory>
#include <regex>
#include <thread>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::ReadFileBytes;
using testsupport::SmtpPeer;
using testsupport::Utf16;

namespace {

// A sender whose body shows up in the log.
struct Sender : testsupport::LocalSender {
    explicit Sender(int port) : LocalSender(u"127.0.0.1", port, u"logged body") {}
};

const std::string kSummaryTail =
    "End Connnect: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n\n={82}\n\n";

size_t Count(const std::string& text, const std::string& what) {
    size_t n = 0;
    for (size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

TEST(SendLog, SuccessfulSendWritesTheDialogueAndTheSummary) {
    testsupport::TempDir folder;
    const std::string log = folder.file("send.log");
    SmtpPeer peer;
    Sender sender(peer.port());
    sender.client->SetLogFile(Utf16(log).c_str(), false);
    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
    EXPECT_EQ(0, sender.client->GetLastResult());

    const std::string content = ReadFileBytes(log);
    EXPECT_NE(std::string::npos, content.find("C: MAIL FROM:<sender@example.org>"));
    EXPECT_NE(std::string::npos, content.find("C: RCPT TO:<rcpt@example.org>\n"));
    EXPECT_NE(std::string::npos, content.find("S: 250 "));
    EXPECT_NE(std::string::npos, content.find("C: logged body\n"));
    EXPECT_TRUE(
        std::regex_search(content, std::regex("Email sent successfully!\n" + kSummaryTail + "$")))
        << content.substr(content.size() > 300 ? content.size() - 300 : 0);
}

TEST(SendLog, FailedTransferMapsTheLastResult) {
    int port;
    {
        SmtpPeer closed;
        port = closed.port();
    }
    testsupport::TempDir folder;
    const std::string log = folder.file("failed.log");
    Sender sender(port);
    sender.client->SetLogFile(Utf16(log).c_str(), true);
    EXPECT_EQ(SMTP_ERR_CONNECT, sender.client->Send());
    EXPECT_EQ(SMTP_ERR_CONNECT, sender.client->GetLastResult());
    EXPECT_TRUE(std::regex_search(
        ReadFileBytes(log),
        std::regex("Error Info: " + std::string(curl_easy_strerror(CURLE_COULDNT_CONNECT)) + "\n" +
                   kSummaryTail + "$")));
    // Asking for the session text summarises again; the last result stays the public code.
    sender.client->GetSessionText();
    EXPECT_EQ(SMTP_ERR_CONNECT, sender.client->GetLastResult());
}

TEST(SendLog, AppendOrReplaceAnExistingFile) {
    testsupport::TempDir folder;
    SmtpPeer peer;
    const std::string appended = folder.write("appended.log", "before\n");
    const std::string replaced = folder.write("replaced.log", "before\n");

    Sender first(peer.port());
    first.client->SetLogFile(Utf16(appended).c_str(), true);
    EXPECT_EQ(SMTP_SUCCESS, first.client->Send());
    const std::string grown = ReadFileBytes(appended);
    EXPECT_EQ(0u, grown.find("before\n"));
    EXPECT_EQ(1u, Count(grown, "Email sent successfully!"));

    Sender second(peer.port());
    second.client->SetLogFile(Utf16(replaced).c_str(), false);
    EXPECT_EQ(SMTP_SUCCESS, second.client->Send());
    const std::string fresh = ReadFileBytes(replaced);
    EXPECT_EQ(std::string::npos, fresh.find("before\n"));
    EXPECT_EQ(1u, Count(fresh, "Email sent successfully!"));
}

TEST(SendLog, SetLogFileAfterASendWritesItsLogAtOnce) {
    testsupport::TempDir folder;
    SmtpPeer peer;
    Sender sender(peer.port());
    const std::string first = folder.file("first.log");
    const std::string second = folder.file("second.log");

    // A new client has nothing to write.
    sender.client->SetLogFile(Utf16(first).c_str(), true);
    EXPECT_TRUE(ReadFileBytes(first).empty());

    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
    EXPECT_EQ(1u, Count(ReadFileBytes(first), "Email sent successfully!"));

    sender.client->SetLogFile(Utf16(second).c_str(), false);
    const std::string again = ReadFileBytes(second);
    EXPECT_NE(std::string::npos, again.find("C: MAIL FROM:<sender@example.org>"));
    EXPECT_EQ(2u, Count(again, "Email sent successfully!"));
    EXPECT_EQ(0, sender.client->GetLastResult());
}

TEST(SendLog, SessionTextBeforeAnySendLeavesTheClientUnsent) {
    testsupport::TempDir folder;
    testsupport::ClientPtr client(Library().createSmtpClient());
    EXPECT_EQ(u'\0', client->GetSessionText()[0]);
    EXPECT_EQ(SMTP_NO_SEND_YET, client->GetLastResult());
    const std::string log = folder.file("never.log");
    client->SetLogFile(Utf16(log).c_str(), true);
    EXPECT_TRUE(ReadFileBytes(log).empty());
}

// Each client keeps its own trace: two clients sending at once on two threads must each get a
// log with exactly their own dialogue.
TEST(SendLog, TwoThreadsSendingAtOnceEachLogOnlyTheirOwnDialogue) {
    testsupport::TempDir folder;
    SmtpPeer peer;
    const int rounds = 5;
    const int lines = 300;
    auto body = [&](char who) {
        std::u16string text;
        for (int i = 0; i < lines; ++i)
            text += Utf16(std::string("line ") + who + std::to_string(i) + "\r\n");
        return text;
    };
    std::string failures[2];
    auto sendRounds = [&](int index) {
        const char who = char('A' + index);
        const char other = char('B' - index);
        const std::u16string text = body(who);
        testsupport::LocalSender sender(u"127.0.0.1", peer.port(), text.c_str());
        const std::string log = folder.file(std::string(1, who) + ".log");
        sender.client->SetLogFile(Utf16(log).c_str(), false);
        for (int round = 0; round < rounds && failures[index].empty(); ++round) {
            const int result = sender.send();
            const std::string content = ReadFileBytes(log);
            if (result != SMTP_SUCCESS)
                failures[index] = "result " + std::to_string(result);
            else if (Count(content, std::string("C: line ") + who) != size_t(lines))
                failures[index] = "own body lines missing";
            else if (Count(content, std::string("line ") + other) != 0)
                failures[index] = "the other thread's lines in this log";
            else if (Count(content, "Email sent successfully!") != 1)
                failures[index] = "summary missing or repeated";
        }
    };
    std::thread second(sendRounds, 1);
    sendRounds(0);
    second.join();
    EXPECT_EQ("", failures[0]);
    EXPECT_EQ("", failures[1]);
    EXPECT_TRUE(peer.waitForMessages(2 * rounds));
}

} // namespace
