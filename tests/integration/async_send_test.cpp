// An asynchronous send to a real SMTP server, completed through the host's message loop.
#include "library_objects.h"
#include "message_pump.h"
#include "recording_callback.h"
#include "smtp_peer.h"

#include <gtest/gtest.h>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::PumpMessagesUntil;
using testsupport::RecordingCallback;
using testsupport::SmtpPeer;

namespace {

TEST(AsyncSend, SucceedsAfterTheHostReleasedTheClient) {
    SmtpPeer peer;
    const DWORD windowsBefore = Win32CompatWindowCount();
    RecordingCallback callback;
    testsupport::MessagePtr message = testsupport::NewMessage();
    message->SetSender(u"sender@example.org", nullptr);
    message->AddRecipient(u"rcpt@example.org", nullptr);
    message->SetSubject(u"queued");
    message->SetTextBody(u"sent by the worker");

    ISmtpClient* client = Library().createSmtpClient();
    client->SetHost(u"127.0.0.1");
    client->SetPort(peer.port());
    client->SetUseTls(false);
    client->SetConnectTimeout(5);
    client->SetMimeMessage(message.get());
    client->SetCallback(&callback);
    EXPECT_EQ(1, client->SendAsync());
    // Everything the send needs was prepared by now; the host lets go of its client.
    client->Release();

    ASSERT_TRUE(PumpMessagesUntil([&] { return !callback.completions.empty(); }));
    EXPECT_EQ(1, callback.completions[0].taskId);
    EXPECT_EQ(SMTP_SUCCESS, callback.completions[0].result);
    EXPECT_EQ("", callback.completions[0].message);
    EXPECT_EQ(GetCurrentThreadId(), callback.completions[0].thread);
    // The client state went after the notification, and its window with it.
    EXPECT_EQ(windowsBefore + 1, callback.completions[0].windowsAtCall);
    EXPECT_EQ(windowsBefore, Win32CompatWindowCount());

    ASSERT_TRUE(peer.waitForMessages(1));
    const auto stored = peer.messages();
    ASSERT_EQ(1u, stored.size());
    EXPECT_EQ("sender@example.org", stored[0].mailFrom);
    EXPECT_EQ(std::vector<std::string>{"rcpt@example.org"}, stored[0].recipients);
    EXPECT_NE(std::string::npos, stored[0].data.find("sent by the worker"));
}

} // namespace
