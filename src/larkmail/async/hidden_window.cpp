// The hidden window of a client: created on the thread of the client's first asynchronous
// send, whose message loop then finishes every task (callback, release, freeing).
#include "async/async_thread.h"

#include "async/async_task.h"

namespace SMTPClientNS {

const WCHAR ASYNC_WINDOW_NAME[] = TEXT("SmtpClientAsyncThreadWindow");

void CAsyncThread::CreateHiddenWindow() {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof windowClass;
    windowClass.style = CS_HREDRAW | CS_VREDRAW;
    windowClass.lpfnWndProc = WindowProcedure;
    windowClass.hInstance = GetModuleHandleW(nullptr);
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    windowClass.lpszClassName = className_.c_str();
    if (!RegisterClassExW(&windowClass) && GetLastError() != ERROR_CLASS_ALREADY_EXISTS)
        return;
    window_ = CreateWindowExW(0, className_.c_str(), windowTitle_.c_str(), 0, 0, 0, 0, 0, nullptr,
                              nullptr, GetModuleHandleW(nullptr), nullptr);
    if (window_)
        windowThreadId_ = GetCurrentThreadId();
    std::lock_guard<std::mutex> lock(pending_->mutex);
    pending_->window = window_;
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
    return DefWindowProcW(window, message, wParam, lParam);
}

} // namespace SMTPClientNS
