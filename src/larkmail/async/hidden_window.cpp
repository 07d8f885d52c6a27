// The hidden window of a client: created on the thread of the client's first asynchronous
// send, whose message loop then finishes every task (callback, release, freeing).
#include "async/async_thread.h"

#include "async/async_task.h"

namespace SMTPClientNS {

const WCHAR ASYNC_WINDOW_NAME[] = TEXT("SmtpClientAsyncThreadWindow");

namespace {

// The window class belongs to this library's own image and is registered only while hidden
// windows exist: a class left behind by an unloaded copy of the library would be found by the
// next one loaded, with a window procedure that points into the old image.
struct WindowClass {
    std::mutex mutex;
    int windows = 0; // hidden windows of every client
    bool registered = false;
    // At unload: windows that ended with their thread never came back to ReleaseWindowClass.
    ~WindowClass();
};

WindowClass& SharedClass() {
    static WindowClass windowClass;
    return windowClass;
}

HINSTANCE LibraryInstance() {
    HMODULE module = nullptr;
    GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                           GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                       reinterpret_cast<LPCWSTR>(&SharedClass), &module);
    return module;
}

WindowClass::~WindowClass() {
    if (registered)
        UnregisterClassW(ASYNC_WINDOW_NAME, LibraryInstance());
}

} // namespace

void CAsyncThread::CreateHiddenWindow() {
    const HINSTANCE instance = LibraryInstance();
    WindowClass& shared = SharedClass();
    std::lock_guard<std::mutex> classLock(shared.mutex);
    if (!shared.registered) {
        // A class that an earlier copy of the library at the same address left behind.
        UnregisterClassW(className_.c_str(), instance);
        WNDCLASSEXW windowClass{};
        windowClass.cbSize = sizeof windowClass;
        windowClass.style = CS_HREDRAW | CS_VREDRAW;
        windowClass.lpfnWndProc = WindowProcedure;
        windowClass.hInstance = instance;
        windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
        windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
        windowClass.lpszClassName = className_.c_str();
        if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
            return;
        shared.registered = true;
    }
    window_ = CreateWindowExW(0, className_.c_str(), windowTitle_.c_str(), 0, 0, 0, 0, 0, nullptr,
                              nullptr, instance, nullptr);
    if (window_) {
        ++shared.windows;
        windowThreadId_ = GetCurrentThreadId();
    } else if (shared.windows == 0 && UnregisterClassW(className_.c_str(), instance)) {
        shared.registered = false;
    }
    std::lock_guard<std::mutex> lock(pending_->mutex);
    pending_->window = window_;
}

void CAsyncThread::ReleaseWindowClass() {
    WindowClass& shared = SharedClass();
    std::lock_guard<std::mutex> lock(shared.mutex);
    if (shared.windows > 0 && --shared.windows == 0 && shared.registered &&
        UnregisterClassW(ASYNC_WINDOW_NAME, LibraryInstance()))
        shared.registered = false;
}

LRESULT CALLBACK CAsyncThread::WindowProcedure(HWND window, UINT message, WPARAM wParam,
                                               LPARAM lParam) {
    if (message == WM_CREATE)
        return 1;
    if (message == WM_ASYNC_DONE) {
        auto* task = reinterpret_cast<CAsyncTask*>(lParam);
        if (task && task->step) {
            // Finish frees the task (and may destroy this window); the step object goes last.
            INesting* step = task->step;
            step->Finish();
            delete step;
        }
        return 1;
    }
    if (message == WM_CLOSE) {
        // Asked by a client destroyed on another thread (see ~CAsyncThread).
        if (DestroyWindow(window))
            ReleaseWindowClass();
        return 0;
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace SMTPClientNS
