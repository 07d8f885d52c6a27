// Windows and message queues: thread queues come into being on first use, posted messages
// arrive in order on the owning thread, WM_CREATE and WM_DESTROY are sent synchronously, a
// window can destroy itself from its own procedure, and GetMessageW ends with WM_QUIT.
#include <windows.h>

#include <gtest/gtest.h>

#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace {

struct Event {
    HWND window;
    UINT message;
    LPARAM lParam;
    DWORD thread;
};

// What the test window procedure saw; it is a plain function, so the record is shared.
std::mutex recordMutex;
std::vector<Event> record;
LRESULT createResult = 0;
UINT destroySelfOn = 0; // a message on which the procedure destroys its own window

std::vector<Event> TakeRecord() {
    std::lock_guard<std::mutex> lock(recordMutex);
    std::vector<Event> events;
    events.swap(record);
    return events;
}

LRESULT CALLBACK RecordingProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    {
        std::lock_guard<std::mutex> lock(recordMutex);
        record.push_back({window, message, lParam, GetCurrentThreadId()});
    }
    if (message == WM_CREATE) {
        EXPECT_TRUE(IsWindow(window)); // valid while WM_CREATE runs
        return createResult;
    }
    if (destroySelfOn && message == destroySelfOn) {
        EXPECT_TRUE(DestroyWindow(window));
        EXPECT_FALSE(IsWindow(window));
        return 1;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

const WCHAR* ClassName() {
    static const bool registered = [] {
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = RecordingProcedure;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = TEXT("CompatRecordingWindow");
        return RegisterClassExW(&windowClass) != 0;
    }();
    EXPECT_TRUE(registered);
    return TEXT("CompatRecordingWindow");
}

HWND NewWindow() {
    return CreateWindowExW(0, ClassName(), TEXT("title"), 0, 0, 0, 0, 0, nullptr, nullptr, nullptr,
                           nullptr);
}

TEST(WindowClass, SecondRegistrationOfANameFails) {
    ClassName();
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = DefWindowProcW;
    windowClass.lpszClassName = TEXT("compatrecordingWINDOW"); // names ignore letter case
    SetLastError(0);
    EXPECT_EQ(0, RegisterClassExW(&windowClass));
    EXPECT_EQ(DWORD(ERROR_CLASS_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ(80u, sizeof(WNDCLASSEXW));
    EXPECT_NE(nullptr, LoadCursorW(nullptr, IDC_ARROW));

    SetLastError(0);
    EXPECT_EQ(nullptr, CreateWindowExW(0, TEXT("NoSuchClass"), nullptr, 0, 0, 0, 0, 0, nullptr,
                                       nullptr, nullptr, nullptr));
    EXPECT_EQ(DWORD(ERROR_CANNOT_FIND_WND_CLASS), GetLastError());

    // Unregistered only once its last window is gone; then the name is free again.
    windowClass.lpszClassName = TEXT("CompatUnregistered");
    ASSERT_NE(0, RegisterClassExW(&windowClass));
    HWND window = CreateWindowExW(0, TEXT("compatunregistered"), nullptr, 0, 0, 0, 0, 0, nullptr,
                                  nullptr, nullptr, nullptr);
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(UnregisterClassW(TEXT("CompatUnregistered"), nullptr));
    EXPECT_EQ(DWORD(ERROR_CLASS_HAS_WINDOWS), GetLastError());
    EXPECT_TRUE(DestroyWindow(window));
    EXPECT_TRUE(UnregisterClassW(TEXT("COMPATUNREGISTERED"), nullptr));
    EXPECT_FALSE(UnregisterClassW(TEXT("CompatUnregistered"), nullptr));
    EXPECT_EQ(DWORD(ERROR_CLASS_DOES_NOT_EXIST), GetLastError());
    EXPECT_NE(0, RegisterClassExW(&windowClass));
    EXPECT_TRUE(UnregisterClassW(TEXT("CompatUnregistered"), nullptr));
}

TEST(Window, CreateSendsWmCreateBeforeItReturnsAndMinusOneFailsIt) {
    TakeRecord();
    const DWORD windowsBefore = Win32CompatWindowCount();
    HWND window = NewWindow();
    ASSERT_NE(nullptr, window);
    std::vector<Event> events = TakeRecord();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(window, events[0].window);
    EXPECT_EQ(UINT(WM_CREATE), events[0].message);
    EXPECT_EQ(GetCurrentThreadId(), events[0].thread);
    EXPECT_EQ(windowsBefore + 1, Win32CompatWindowCount());

    EXPECT_TRUE(DestroyWindow(window));
    events = TakeRecord();
    ASSERT_EQ(1u, events.size());
    EXPECT_EQ(UINT(WM_DESTROY), events[0].message);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_FALSE(DestroyWindow(window));
    EXPECT_EQ(windowsBefore, Win32CompatWindowCount());

    createResult = -1;
    EXPECT_EQ(nullptr, NewWindow());
    createResult = 0;
    events = TakeRecord();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(UINT(WM_CREATE), events[0].message);
    EXPECT_EQ(UINT(WM_DESTROY), events[1].message);
    EXPECT_EQ(windowsBefore, Win32CompatWindowCount());
}

TEST(Window, PostedMessagesAreDispatchedOnTheOwningThreadInOrder) {
    HWND window = NewWindow();
    ASSERT_NE(nullptr, window);
    TakeRecord();
    // Posted from another thread, they wait in the owner's queue.
    std::thread poster([&] {
        for (LPARAM i = 1; i <= 5; ++i)
            EXPECT_TRUE(PostMessageW(window, WM_USER + 1, 0, i));
        EXPECT_FALSE(DestroyWindow(window)); // only the owner may destroy it
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
        EXPECT_TRUE(PostMessageW(window, WM_CLOSE, 0, 0));
    });
    poster.join();

    MSG msg;
    EXPECT_TRUE(PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE));
    EXPECT_EQ(1, msg.lParam);
    std::vector<LPARAM> order;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (const Event& event : TakeRecord()) {
        EXPECT_EQ(GetCurrentThreadId(), event.thread);
        if (event.message == WM_USER + 1)
            order.push_back(event.lParam);
    }
    EXPECT_EQ(std::vector<LPARAM>({1, 2, 3, 4, 5}), order);
    EXPECT_FALSE(IsWindow(window)); // WM_CLOSE reached DefWindowProcW, which destroyed it
    SetLastError(0);
    EXPECT_FALSE(PostMessageW(window, WM_USER, 0, 0));
    EXPECT_EQ(DWORD(ERROR_INVALID_WINDOW_HANDLE), GetLastError());
}

TEST(Window, DestroysItselfFromItsOwnProcedure) {
    HWND window = NewWindow();
    ASSERT_NE(nullptr, window);
    destroySelfOn = WM_USER + 2;
    PostMessageW(window, WM_USER + 2, 0, 0);
    PostMessageW(window, WM_USER + 3, 0, 0); // discarded with the window
    PostMessageW(nullptr, WM_USER + 4, 0, 0);
    TakeRecord();
    MSG msg;
    ASSERT_EQ(1, GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(1, DispatchMessageW(&msg));
    destroySelfOn = 0;
    EXPECT_FALSE(IsWindow(window));
    const std::vector<Event> events = TakeRecord();
    ASSERT_EQ(2u, events.size());
    EXPECT_EQ(UINT(WM_USER + 2), events[0].message);
    EXPECT_EQ(UINT(WM_DESTROY), events[1].message);
    ASSERT_EQ(1, GetMessageW(&msg, nullptr, 0, 0));
    EXPECT_EQ(UINT(WM_USER + 4), msg.message);
    EXPECT_EQ(nullptr, msg.hwnd);
    EXPECT_FALSE(PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE));
}

TEST(ThreadQueue, ExistsOnlyAfterTheThreadAsksForMessages) {
    std::promise<DWORD> started;
    std::promise<void> tryPost, posted, allPosted;
    std::promise<std::vector<UINT>> received;
    std::thread worker([&] {
        started.set_value(GetCurrentThreadId());
        tryPost.get_future().wait();
        MSG msg;
        PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE); // creates the queue
        posted.set_value();
        std::vector<UINT> messages;
        BOOL result;
        while ((result = GetMessageW(&msg, nullptr, 0, 0)) > 0)
            messages.push_back(msg.message);
        EXPECT_EQ(0, result);
        EXPECT_EQ(UINT(WM_QUIT), msg.message);
        received.set_value(messages);
        // The queue lives while its thread does: stay until the last post has arrived.
        allPosted.get_future().wait();
    });
    const DWORD id = started.get_future().get();
    SetLastError(0);
    EXPECT_FALSE(PostThreadMessageW(id, WM_USER + 1000, 0, 1));
    EXPECT_EQ(DWORD(ERROR_INVALID_THREAD_ID), GetLastError());
    std::future<void> queueReady = posted.get_future();
    tryPost.set_value();
    queueReady.wait();
    EXPECT_TRUE(PostThreadMessageW(id, WM_USER + 1000, 0, 1));
    EXPECT_TRUE(PostThreadMessageW(id, WM_USER + 1001, 0, 0));
    EXPECT_TRUE(PostThreadMessageW(id, WM_QUIT, 0, 0));
    EXPECT_EQ(std::vector<UINT>({WM_USER + 1000, WM_USER + 1001}), received.get_future().get());
    EXPECT_TRUE(PostThreadMessageW(id, WM_USER, 0, 0)); // after the quit: never read
    allPosted.set_value();
    worker.join();
    // The queue went with its thread.
    EXPECT_FALSE(PostThreadMessageW(id, WM_USER, 0, 0));
    EXPECT_EQ(DWORD(ERROR_INVALID_THREAD_ID), GetLastError());
}

TEST(ThreadQueue, QuitRequestComesAfterWaitingMessagesAndWindowsEndWithTheirThread) {
    HWND window = nullptr;
    std::thread owner([&] {
        window = NewWindow();
        PostQuitMessage(3);
        PostThreadMessageW(GetCurrentThreadId(), WM_USER + 5, 0, 0);
        MSG msg;
        EXPECT_EQ(1, GetMessageW(&msg, nullptr, 0, 0));
        EXPECT_EQ(UINT(WM_USER + 5), msg.message);
        EXPECT_EQ(0, GetMessageW(&msg, nullptr, 0, 0));
        EXPECT_EQ(UINT(WM_QUIT), msg.message);
        EXPECT_EQ(WPARAM(3), msg.wParam);
        EXPECT_EQ(-1, GetMessageW(nullptr, nullptr, 0, 0));
    });
    owner.join();
    ASSERT_NE(nullptr, window);
    EXPECT_FALSE(IsWindow(window));
}

} // namespace
