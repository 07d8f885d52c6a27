// Asynchronous sends as a host sees them: task ids, completions through the host's message
// loop on the thread of the first send, cancellation of queued sends, and the worker's thread
// and window (observed through the platform layer the host shares with the library).
#include "library_objects.h"
#include "message_pump.h"
#include "recording_callback.h"

#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <memory>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/time.h>
#include <thread>
#include <unistd.h>

using namespace SMTPClientNS;
using testsupport::Completion;
using testsupport::Library;
using testsupport::PumpMessagesUntil;
using testsupport::RecordingCallback;

namespace {

const char kGeneralError[] = "A general error occurred";

using testsupport::ClientPtr;
using testsupport::MessagePtr;

// A client whose sends fail in preparation (a host but no message): nothing goes on the wire.
ClientPtr NewClient(RecordingCallback& callback) {
    ClientPtr client(Library().createSmtpClient());
    client->SetHost(u"127.0.0.1");
    client->SetPort(25); // never reached: preparation fails before any connection
    client->SetUseTls(false);
    client->SetCallback(&callback);
    return client;
}

bool WaitForCompletions(const RecordingCallback& callback, size_t count) {
    return PumpMessagesUntil([&] { return callback.completions.size() >= count; });
}

// A TCP port that accepts connections and never says anything: a transfer to it stays busy
// until the test closes the connection.
class SilentServer {
public:
    SilentServer() {
        listener_ = socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        timeval limit{10, 0}; // accept gives up rather than hang a broken test
        setsockopt(listener_, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (bind(listener_, reinterpret_cast<sockaddr*>(&address), size) == 0 &&
            listen(listener_, 4) == 0 &&
            getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &size) == 0)
            port_ = ntohs(address.sin_port);
    }
    ~SilentServer() {
        Hangup();
        close(listener_);
    }
    int port() const { return port_; }
    // Blocks until a client has connected.
    bool AcceptOne() {
        connection_ = accept(listener_, nullptr, nullptr);
        return connection_ >= 0;
    }
    void Hangup() {
        if (connection_ >= 0)
            close(connection_);
        connection_ = -1;
    }

private:
    int listener_ = -1;
    int connection_ = -1;
    int port_ = 0;
};

TEST(AsyncSend, TaskIdsArePerClientAndAPreparationFailureReachesTheCallback) {
    RecordingCallback first, second;
    ClientPtr a = NewClient(first);
    ClientPtr b = NewClient(second);
    EXPECT_EQ(1, a->SendAsync());
    EXPECT_EQ(2, a->SendAsync());
    EXPECT_EQ(1, b->SendAsync());

    // A message without sender fails with the sender's code.
    MessagePtr message(Library().createMimeMessage());
    message->AddRecipient(u"rcpt@example.org", nullptr);
    a->SetMimeMessage(message.get());
    EXPECT_EQ(3, a->SendAsync());

    ASSERT_TRUE(WaitForCompletions(first, 3));
    ASSERT_TRUE(WaitForCompletions(second, 1));
    ASSERT_EQ(3u, first.completions.size());
    for (int i = 0; i < 2; ++i) {
        EXPECT_EQ(i + 1, first.completions[i].taskId);
        EXPECT_EQ(SMTP_ERR_GENERAL, first.completions[i].result);
        EXPECT_EQ(kGeneralError, first.completions[i].message);
        EXPECT_EQ(GetCurrentThreadId(), first.completions[i].thread);
    }
    EXPECT_EQ(3, first.completions[2].taskId);
    EXPECT_EQ(SMTP_ERR_NO_SENDER, first.completions[2].result);
    EXPECT_NE(kGeneralError, first.completions[2].message);
    EXPECT_EQ(1, second.completions[0].taskId);
    EXPECT_EQ(kGeneralError, second.completions[0].message);
    // Asynchronous sends leave the last result of synchronous sends alone.
    EXPECT_EQ(SMTP_NO_SEND_YET, a->GetLastResult());
}

TEST(AsyncSend, CancelRemovesQueuedSendsButNotTheOneRunning) {
    SilentServer server;
    ASSERT_NE(0, server.port());
    RecordingCallback callback;
    ClientPtr client = NewClient(callback);
    client->SetPort(server.port());
    client->SetConnectTimeout(8);
    MessagePtr message(Library().createMimeMessage());
    message->SetSender(u"sender@example.org", nullptr);
    message->AddRecipient(u"rcpt@example.org", nullptr);
    client->SetMimeMessage(message.get());

    EXPECT_EQ(-1, client->CancelAsync(0)); // nothing queued
    EXPECT_EQ(1, client->SendAsync());
    ASSERT_TRUE(server.AcceptOne()); // the worker has taken task 1 and waits for a greeting
    EXPECT_EQ(2, client->SendAsync());
    EXPECT_EQ(3, client->SendAsync());
    EXPECT_EQ(-1, client->CancelAsync(1)); // taken: it runs on
    EXPECT_EQ(1, client->CancelAsync(0));  // removes 2 and 3
    EXPECT_EQ(-1, client->CancelAsync(0));
    EXPECT_EQ(-1, client->CancelAsync(3));
    client->SetMimeMessage(nullptr); // later sends fail at once
    EXPECT_EQ(4, client->SendAsync());
    EXPECT_EQ(1, client->CancelAsync(4));
    EXPECT_EQ(-1, client->CancelAsync(4));
    EXPECT_EQ(5, client->SendAsync());
    server.Hangup(); // task 1 ends with a failure

    // One worker runs the sends in order: once 5 is done, 2, 3 and 4 would have been too.
    ASSERT_TRUE(PumpMessagesUntil(
        [&] { return !callback.completions.empty() && callback.completions.back().taskId == 5; }));
    ASSERT_EQ(2u, callback.completions.size());
    EXPECT_EQ(1, callback.completions[0].taskId);
    EXPECT_LT(callback.completions[0].result, 0);
    EXPECT_EQ(5, callback.completions[1].taskId);
    EXPECT_EQ(SMTP_ERR_GENERAL, callback.completions[1].result);
}

TEST(AsyncSend, CompletionsArriveOnTheThreadOfTheFirstSend) {
    const DWORD windowsBefore = Win32CompatWindowCount();
    RecordingCallback callback;
    ClientPtr client = NewClient(callback);
    EXPECT_EQ(1, client->SendAsync());
    std::thread other([&] { EXPECT_EQ(2, client->SendAsync()); });
    other.join();
    EXPECT_EQ(windowsBefore + 1, Win32CompatWindowCount()); // one window per client
    ASSERT_TRUE(WaitForCompletions(callback, 2));
    for (const Completion& completion : callback.completions)
        EXPECT_EQ(GetCurrentThreadId(), completion.thread);
    EXPECT_EQ(2, callback.completions[1].taskId);
}

TEST(AsyncSend, ThreadAndWindowComeOnlyWithTheFirstAsynchronousSend) {
    const DWORD threadsBefore = Win32CompatCreatedThreadCount();
    const DWORD windowsBefore = Win32CompatWindowCount();
    RecordingCallback callback;
    {
        ClientPtr client = NewClient(callback);
        EXPECT_EQ(SMTP_ERR_GENERAL, client->Send());
        EXPECT_EQ(-1, client->CancelAsync(0));
    }
    EXPECT_EQ(threadsBefore, Win32CompatCreatedThreadCount());
    EXPECT_EQ(windowsBefore, Win32CompatWindowCount());

    // The host releases its client at once; the queued send still completes, and the client
    // state (with its window) lives until that notification has been delivered.
    ClientPtr client = NewClient(callback);
    EXPECT_EQ(1, client->SendAsync());
    EXPECT_EQ(threadsBefore + 1, Win32CompatCreatedThreadCount());
    EXPECT_EQ(windowsBefore + 1, Win32CompatWindowCount());
    client.reset();
    ASSERT_TRUE(WaitForCompletions(callback, 1));
    EXPECT_EQ(kGeneralError, callback.completions[0].message);
    EXPECT_EQ(windowsBefore + 1, callback.completions[0].windowsAtCall);
    EXPECT_EQ(windowsBefore, Win32CompatWindowCount());
}

TEST(AsyncSend, ClientReleasedOnAnotherThreadClosesItsWindowThroughTheOwner) {
    const DWORD windowsBefore = Win32CompatWindowCount();
    RecordingCallback callback;
    ClientPtr client = NewClient(callback);
    EXPECT_EQ(1, client->SendAsync());
    ASSERT_TRUE(WaitForCompletions(callback, 1));
    std::thread other([&] { client.reset(); });
    other.join();
    // The window belongs to this thread; it goes when this thread's loop runs.
    EXPECT_TRUE(PumpMessagesUntil([&] { return Win32CompatWindowCount() == windowsBefore; }));
}

} // namespace
