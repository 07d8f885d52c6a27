// A host's message loop for tests of asynchronous sends: dispatches the calling thread's
// messages until a condition holds. Programs that include it link the platform layer.
#pragma once

#include <windows.h>

#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>

namespace testsupport {

// Pumps the calling thread's messages until done() is true (checked before and after each
// dispatched message) or the time-out has passed; returns done(). A watchdog thread wakes
// the loop at the time-out, so nothing polls.
inline bool PumpMessagesUntil(const std::function<bool()>& done,
                              std::chrono::milliseconds timeout = std::chrono::seconds(10)) {
    const UINT kWake = WM_USER + 3000;
    static std::atomic<WPARAM> serials{0};
    const WPARAM serial = ++serials;
    MSG msg;
    PeekMessageW(&msg, nullptr, 0, 0, PM_NOREMOVE);
    const DWORD self = GetCurrentThreadId();
    std::mutex mutex;
    std::condition_variable stopped;
    bool stop = false;
    std::thread watchdog([&] {
        std::unique_lock<std::mutex> lock(mutex);
        if (!stopped.wait_for(lock, timeout, [&] { return stop; }))
            PostThreadMessageW(self, kWake, serial, 0);
    });
    bool result = done();
    while (!result && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (!msg.hwnd && msg.message == kWake) {
            if (msg.wParam == serial)
                break;
            continue; // a late wake-up of an earlier loop
        }
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
        result = done();
    }
    {
        std::lock_guard<std::mutex> lock(mutex);
        stop = true;
    }
    stopped.notify_all();
    watchdog.join();
    return result;
}

} // namespace testsupport
