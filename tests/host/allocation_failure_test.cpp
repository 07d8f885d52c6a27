// Memory running out inside an exported operation: the operation returns its failure value
// and the host goes on. This program replaces the global allocation functions, which the
// loaded library resolves to as well, so allocations can be made to fail on demand.
#include "library_objects.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstdlib>
#include <functional>
#include <new>
#include <string>

namespace {

std::atomic<bool> failAllocations{false};

void* Allocate(std::size_t size) {
    if (failAllocations.load())
        throw std::bad_alloc();
    if (void* memory = std::malloc(size ? size : 1))
        return memory;
    throw std::bad_alloc();
}

} // namespace

void* operator new(std::size_t size) {
    return Allocate(size);
}
void* operator new[](std::size_t size) {
    return Allocate(size);
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
    return failAllocations.load() ? nullptr : std::malloc(size ? size : 1);
}
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept {
    return operator new(size, std::nothrow);
}
void operator delete(void* memory) noexcept {
    std::free(memory);
}
void operator delete[](void* memory) noexcept {
    std::free(memory);
}
void operator delete(void* memory, std::size_t) noexcept {
    std::free(memory);
}
void operator delete[](void* memory, std::size_t) noexcept {
    std::free(memory);
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

} // namespace
