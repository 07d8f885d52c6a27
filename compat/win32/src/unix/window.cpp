// Windows and message queues. One process-wide state, guarded by one mutex, holds the window
// classes, the windows (each with its owning thread) and the message queue of every thread
// that has one. Window procedures are always called without the mutex held, so they may call
// any function here, DestroyWindow on their own window included.
#include <windows.h>

#include <condition_variable>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <new>
#include <string>
#include <unordered_map>

namespace {

struct MessageQueue {
    std::deque<MSG> messages;
    bool quitRequested = false;
    int quitCode = 0;
    std::condition_variable arrived;
};

struct Window {
    WNDPROC procedure = nullptr;
    DWORD owner = 0;
    bool destroying = false;
    std::u16string classKey;
};

struct WindowState {
    std::mutex mutex;
    std::map<std::u16string, WNDPROC> classes; // by name in lower case
    std::unordered_map<HWND, std::shared_ptr<Window>> windows;
    std::unordered_map<DWORD, std::shared_ptr<MessageQueue>> queues; // by thread id
    ATOM nextAtom = 0xC000;
    uintptr_t nextWindow = 0x10010; // handles are never reused
};

// Never destroyed: threads may still end, and drop their queues, while the process exits.
WindowState& State() {
    static WindowState* state = new WindowState;
    return *state;
}

// Removes the thread's queue and its windows when the thread ends, as Windows does.
struct QueueOwner {
    DWORD threadId = 0;
    std::shared_ptr<MessageQueue> queue;
    ~QueueOwner() {
        if (!queue)
            return;
        WindowState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        state.queues.erase(threadId);
        std::erase_if(state.windows,
                      [&](const auto& entry) { return entry.second->owner == threadId; });
    }
};
thread_local QueueOwner ownQueue;

// The calling thread's queue, created on first use; the state's mutex must be held.
MessageQueue& OwnQueue(WindowState& state) {
    if (!ownQueue.queue) {
        // Kept only once it is in the table, so that a failed allocation leaves no half queue.
        auto queue = std::make_shared<MessageQueue>();
        state.queues[GetCurrentThreadId()] = queue;
        ownQueue.threadId = GetCurrentThreadId();
        ownQueue.queue = std::move(queue);
    }
    return *ownQueue.queue;
}

std::u16string ClassKey(LPCWSTR name) {
    std::u16string key(name);
    for (char16_t& c : key) {
        if (c >= u'A' && c <= u'Z')
            c = char16_t(c - u'A' + u'a');
    }
    return key;
}

std::shared_ptr<Window> FindWindowLocked(WindowState& state, HWND handle) {
    const auto found = state.windows.find(handle);
    return found == state.windows.end() ? nullptr : found->second;
}

bool Matches(const MSG& msg, HWND window, UINT filterMin, UINT filterMax) {
    if (window && msg.hwnd != window)
        return false;
    if (filterMin == 0 && filterMax == 0)
        return true;
    return msg.message >= filterMin && msg.message <= filterMax;
}

// Finds the first matching message (or, when none waits, the quit request); the mutex must be
// held.
bool TakeMessage(MessageQueue& queue, MSG* msg, HWND window, UINT filterMin, UINT filterMax,
                 bool remove) {
    for (auto it = queue.messages.begin(); it != queue.messages.end(); ++it) {
        if (Matches(*it, window, filterMin, filterMax)) {
            *msg = *it;
            if (remove)
                queue.messages.erase(it);
            return true;
        }
    }
    if (!queue.quitRequested)
        return false;
    *msg = MSG{};
    msg->message = WM_QUIT;
    msg->wParam = WPARAM(queue.quitCode);
    if (remove)
        queue.quitRequested = false;
    return true;
}

void Post(MessageQueue& queue, HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    MSG msg{};
    msg.hwnd = window;
    msg.message = message;
    msg.wParam = wParam;
    msg.lParam = lParam;
    queue.messages.push_back(msg);
    queue.arrived.notify_all();
}

} // namespace

ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass) {
    if (!windowClass || windowClass->cbSize != sizeof(WNDCLASSEXW) || !windowClass->lpfnWndProc ||
        !windowClass->lpszClassName || !*windowClass->lpszClassName) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return 0;
    }
    WindowState& state = State();
    try {
        std::lock_guard<std::mutex> lock(state.mutex);
        if (!state.classes.emplace(ClassKey(windowClass->lpszClassName), windowClass->lpfnWndProc)
                 .second) {
            SetLastError(ERROR_CLASS_ALREADY_EXISTS);
            return 0;
        }
        return state.nextAtom++;
    } catch (const std::bad_alloc&) {
        // Out of memory fails the call, as on Windows; nothing was registered.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return 0;
    }
}

BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE) {
    if (!className) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    WindowState& state = State();
    std::u16string key;
    try {
        key = ClassKey(className);
    } catch (const std::bad_alloc&) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return FALSE;
    }
    std::lock_guard<std::mutex> lock(state.mutex);
    const auto found = state.classes.find(key);
    if (found == state.classes.end()) {
        SetLastError(ERROR_CLASS_DOES_NOT_EXIST);
        return FALSE;
    }
    for (const auto& entry : state.windows) {
        if (entry.second->classKey == found->first) {
            SetLastError(ERROR_CLASS_HAS_WINDOWS);
            return FALSE;
        }
    }
    state.classes.erase(found);
    return TRUE;
}

HWND WINAPI CreateWindowExW(DWORD, LPCWSTR className, LPCWSTR, DWORD, int, int, int, int, HWND,
                            HMENU, HINSTANCE, LPVOID) {
    if (!className) {
        SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
        return nullptr;
    }
    WindowState& state = State();
    HWND handle = nullptr;
    WNDPROC procedure = nullptr;
    try {
        std::lock_guard<std::mutex> lock(state.mutex);
        const auto found = state.classes.find(ClassKey(className));
        if (found == state.classes.end()) {
            SetLastError(ERROR_CANNOT_FIND_WND_CLASS);
            return nullptr;
        }
        procedure = found->second;
        OwnQueue(state);
        auto window = std::make_shared<Window>();
        window->procedure = procedure;
        window->owner = GetCurrentThreadId();
        window->classKey = found->first;
        handle = reinterpret_cast<HWND>(state.nextWindow);
        state.nextWindow += 4;
        state.windows.emplace(handle, window);
    } catch (const std::bad_alloc&) {
        // Out of memory fails the call, as on Windows; no window was made.
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (procedure(handle, WM_CREATE, 0, 0) == -1) {
        DestroyWindow(handle);
        return nullptr;
    }
    // The procedure may have destroyed the window while handling WM_CREATE.
    return IsWindow(handle) ? handle : nullptr;
}

BOOL WINAPI DestroyWindow(HWND handle) {
    WindowState& state = State();
    std::shared_ptr<Window> window;
    {
        std::lock_guard<std::mutex> lock(state.mutex);
        window = FindWindowLocked(state, handle);
        if (!window) {
            SetLastError(ERROR_INVALID_WINDOW_HANDLE);
            return FALSE;
        }
        if (window->owner != GetCurrentThreadId()) {
            SetLastError(ERROR_ACCESS_DENIED);
            return FALSE;
        }
        if (window->destroying)
            return TRUE; // DestroyWindow again from inside WM_DESTROY
        window->destroying = true;
    }
    window->procedure(handle, WM_DESTROY, 0, 0);
    std::lock_guard<std::mutex> lock(state.mutex);
    state.windows.erase(handle);
    const auto queue = state.queues.find(window->owner);
    if (queue != state.queues.end()) {
        std::erase_if(queue->second->messages, [&](const MSG& msg) { return msg.hwnd == handle; });
    }
    return TRUE;
}

BOOL WINAPI IsWindow(HWND handle) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return FindWindowLocked(state, handle) ? TRUE : FALSE;
}

LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM, LPARAM) {
    if (message == WM_CLOSE)
        DestroyWindow(window);
    return 0;
}

BOOL WINAPI PostMessageW(HWND handle, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    if (!handle) {
        Post(OwnQueue(state), nullptr, message, wParam, lParam);
        return TRUE;
    }
    const std::shared_ptr<Window> window = FindWindowLocked(state, handle);
    const auto queue = window ? state.queues.find(window->owner) : state.queues.end();
    if (queue == state.queues.end()) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return FALSE;
    }
    Post(*queue->second, handle, message, wParam, lParam);
    return TRUE;
}

BOOL WINAPI PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam, LPARAM lParam) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    const auto queue = state.queues.find(threadId);
    if (queue == state.queues.end()) {
        SetLastError(ERROR_INVALID_THREAD_ID);
        return FALSE;
    }
    Post(*queue->second, nullptr, message, wParam, lParam);
    return TRUE;
}

BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax, UINT removeMsg) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    MessageQueue& queue = OwnQueue(state);
    MSG found;
    if (!TakeMessage(queue, &found, window, filterMin, filterMax, (removeMsg & PM_REMOVE) != 0))
        return FALSE;
    if (msg)
        *msg = found;
    return TRUE;
}

BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax) {
    if (!msg) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return -1;
    }
    WindowState& state = State();
    std::unique_lock<std::mutex> lock(state.mutex);
    MessageQueue& queue = OwnQueue(state);
    if (window && !FindWindowLocked(state, window)) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return -1;
    }
    while (!TakeMessage(queue, msg, window, filterMin, filterMax, true))
        queue.arrived.wait(lock);
    return msg->message == WM_QUIT ? 0 : 1;
}

LRESULT WINAPI DispatchMessageW(const MSG* msg) {
    if (!msg || !msg->hwnd)
        return 0;
    std::shared_ptr<Window> window;
    {
        WindowState& state = State();
        std::lock_guard<std::mutex> lock(state.mutex);
        window = FindWindowLocked(state, msg->hwnd);
        if (!window || window->owner != GetCurrentThreadId())
            return 0;
    }
    // The shared pointer keeps the record alive if the procedure destroys its own window.
    return window->procedure(msg->hwnd, msg->message, msg->wParam, msg->lParam);
}

BOOL WINAPI TranslateMessage(const MSG*) {
    return FALSE;
}

void WINAPI PostQuitMessage(int exitCode) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    MessageQueue& queue = OwnQueue(state);
    queue.quitRequested = true;
    queue.quitCode = exitCode;
    queue.arrived.notify_all();
}

HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName) {
    static int arrowCursor;
    if (instance || cursorName != IDC_ARROW) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
        return nullptr;
    }
    return reinterpret_cast<HCURSOR>(&arrowCursor);
}

DWORD WINAPI Win32CompatWindowCount(void) {
    WindowState& state = State();
    std::lock_guard<std::mutex> lock(state.mutex);
    return DWORD(state.windows.size());
}
