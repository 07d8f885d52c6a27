// Threads: start, ids, waiting with and without a time-out, exit codes, termination and
// closing of thread handles.
#include <windows.h>

#include <gtest/gtest.h>

#include <atomic>
#include <future>
#include <memory>

namespace {

struct Gate {
    std::promise<void> open;
    std::shared_future<void> opened = open.get_future().share();
    std::promise<void> returned;
    std::atomic<DWORD> seenId{0};
};

DWORD WINAPI WaitAtGate(LPVOID parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    gate->seenId = GetCurrentThreadId();
    gate->opened.wait();
    gate->returned.set_value();
    return 7;
}

TEST(Thread, RunsAtOnceAndReportsItsIdAndExitCode) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, &id);
    ASSERT_NE(nullptr, thread);
    EXPECT_NE(0u, id);
    EXPECT_NE(GetCurrentThreadId(), id);
    EXPECT_EQ(GetCurrentThreadId(), GetCurrentThreadId());

    // Running: the wait times out after roughly the time asked for, the exit code is 259.
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 0));
    EXPECT_EQ(WAIT_TIMEOUT, WaitForSingleObject(thread, 30));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(STILL_ACTIVE, code);
    EXPECT_EQ(259u, code);

    gate.open.set_value();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, INFINITE));
    EXPECT_EQ(id, gate.seenId.load());
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(7u, code);
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));

    EXPECT_TRUE(CloseHandle(thread));
    SetLastError(0);
    EXPECT_FALSE(CloseHandle(thread));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_EQ(WAIT_FAILED, WaitForSingleObject(thread, 0));
}

TEST(Thread, IdsAreDistinctAndCreatedThreadsAreCounted) {
    const DWORD before = Win32CompatCreatedThreadCount();
    Gate first, second;
    DWORD firstId = 0, secondId = 0;
    HANDLE a = CreateThread(nullptr, 0, WaitAtGate, &first, 0, &firstId);
    HANDLE b = CreateThread(nullptr, 0, WaitAtGate, &second, 0, &secondId);
    ASSERT_TRUE(a && b);
    EXPECT_NE(firstId, secondId);
    EXPECT_EQ(before + 2, Win32CompatCreatedThreadCount());
    first.open.set_value();
    second.open.set_value();
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(a, INFINITE));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(b, INFINITE));
    CloseHandle(a);
    CloseHandle(b);
    EXPECT_EQ(nullptr, CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr));
    EXPECT_EQ(nullptr, CreateThread(nullptr, 0, WaitAtGate, &first, CREATE_SUSPENDED, nullptr));
}

TEST(Thread, TerminatedThreadReadsAsEndedWithTheGivenCode) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, WaitAtGate, &gate, 0, nullptr);
    ASSERT_NE(nullptr, thread);
    EXPECT_TRUE(TerminateThread(thread, 1));
    EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(thread, 0));
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(1u, code);

    // The abandoned routine runs on to its end; its own result is discarded.
    std::future<void> returned = gate.returned.get_future();
    gate.open.set_value();
    returned.wait();
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(1u, code);
    EXPECT_TRUE(TerminateThread(thread, 5)); // an ended thread stays as it is
    EXPECT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(1u, code);
    EXPECT_TRUE(CloseHandle(thread));
    EXPECT_FALSE(TerminateThread(thread, 1));
}

} // namespace
