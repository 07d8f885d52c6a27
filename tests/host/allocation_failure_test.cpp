// Memory running out inside an exported operation: the operation returns its failure value
// and the host goes on. This program replaces the global allocation functions, which the
// loaded library resolves to as well, so allocations can be made to fail on demand: all of
// them, or only the nth of the calling thread. It also counts the blocks in use, so that what
// a failed operation left behind shows.
#include "library_objects.h"
#include "message_pump.h"
#include "recording_callback.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

namespace {

std::atomic<bool> failAllocations{false};
// Above 0: this thread's allocations still to go until the one that fails.
thread_local long allocationsBeforeFailure = 0;
std::atomic<long> blocksInUse{0};

bool ThisAllocationFails() {
    if (allocationsBeforeFailure > 0 && --allocationsBeforeFailure == 0)
        return true;
    return failAllocations.load();
}

void* TryAllocate(std::size_t size) noexcept {
    if (ThisAllocationFails())
        return nullptr;
    void* memory = std::malloc(size ? size : 1);
    if (memory)
        ++blocksInUse;
    return memory;
}

void* Allocate(std::size_t size) {
    if (void* memory = TryAllocate(size))
        return memory;
    throw std::bad_alloc();
}

void Free(void* memory) noexcept {
    if (memory)
        --blocksInUse;
    std::free(memory);
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return TryAllocate(size);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* memory) noexcept {
    Free(memory);
}
void operator delete[](void* memory) noexcept {
    Free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    Free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    Free(memory);
}

namespace {

using namespace SMTPClientNS;
using testsupport::LocalSender;

// Runs operation with every allocation failing; the result is read after allocations work again.
int WhileMemoryRunsOut(const std::function<int()>& operation) {
    failAllocations = true;
    const int result = operation();
    failAllocations = false;
    return result;
}

TEST(AllocationFailure, ExportedOperationsReturnTheirFailureValue) {
    LocalSender sender(u"127.0.0.1", 9);
    sender.client->SetHost(u"old.example.org");
    sender.client->SetLogFile(u"/nonexistent-folder/send.log", false);
    ASSERT_EQ(1, WhileMemoryRunsOut([] { return 1; })) << "the switch itself must not allocate";

    struct Case {
        const char* operation;
        std::function<int()> run;
        int expected;
    };
    IMimeMessage* message = sender.message.get();
    ISmtpClient* client = sender.client.get();
    const std::u16string longHost(300, u'h'); // longer than any buffer the old host left
    const Case cases[] = {
        {"SetHost", [&] { return client->SetHost(longHost.c_str()), 0; }, 0},
        {"Send", [&] { return client->Send(); }, SMTP_ERR_GENERAL},
        {"SendAsync", [&] { return client->SendAsync(); }, 0},
        {"GetSessionText", [&] { return int(*client->GetSessionText()); }, 0},
        {"SetLogFile", [&] { return client->SetLogFile(u"/tmp/never-written.log", false), 0; }, 0},
        {"SetProxy", [&] { return client->SetProxy(longHost.c_str() + 100, 1080, 2, u"", u""); },
         0},
        {"AddRecipient", [&] { return message->AddRecipient(u"bob@example.org", u"Bob"); }, -1},
        {"SetSubject", [&] { return message->SetSubject(u"a subject"), 0; }, 0},
        {"CreateMimeMessage",
         [] { return testsupport::Library().createMimeMessage() == nullptr ? 0 : 1; }, 0},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.expected, WhileMemoryRunsOut(c.run)) << c.operation;

    // Nothing changed, and the objects still work.
    EXPECT_EQ(u"old.example.org", std::u16string(client->GetHost()));
    EXPECT_EQ(1, message->GetRecipientCount());
    EXPECT_EQ(u"", std::u16string(message->GetSubject()));
    EXPECT_EQ(2, message->AddRecipient(u"bob@example.org", u"Bob"));
}

// Each allocation of a SendAsync fails in turn, the first, the second, and so on until the
// SendAsync makes no more. A failed SendAsync returns 0 and leaves nothing behind: the client it
// began with, its worker and its window end with the host's Release as if it had never been called.
TEST(AllocationFailure, EachFailingAllocationOfSendAsyncLeavesNothingBehind) {
    auto sendOnce = [](long failingAllocation) {
        testsupport::RecordingCallback callback;
        LocalSender sender(u"127.0.0.1", 9);
        sender.client->SetCallback(&callback);
        allocationsBeforeFailure = failingAllocation;
        const int taskId = sender.client->SendAsync();
        const bool reached = failingAllocation > 0 && allocationsBeforeFailure == 0;
        allocationsBeforeFailure = 0;
        // A failure that the library absorbs may still queue the send (and report it).
        EXPECT_TRUE(taskId == 0 || taskId == 1) << "allocation " << failingAllocation;
        if (taskId > 0) {
            EXPECT_TRUE(
                testsupport::PumpMessagesUntil([&] { return !callback.completions.empty(); }));
        }
        return reached;
    };
    // Once without a failure, so that what the library makes once per process is made.
    sendOnce(0);
    for (long n = 1;; ++n) {
        const long before = blocksInUse.load();
        const bool reached = sendOnce(n);
        // The worker may take a moment to end after the client is gone. Counted between
        // message loops, which allocate themselves.
        for (int wait = 0; wait < 50 && blocksInUse.load() != before; ++wait)
            testsupport::PumpMessagesUntil([] { return false; }, std::chrono::milliseconds(100));
        EXPECT_EQ(before, blocksInUse.load()) << "allocation " << n;
        if (!reached)
            break;
        ASSERT_LT(n, 10000);
    }
}

} // namespace
