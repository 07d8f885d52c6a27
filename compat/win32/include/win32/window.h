// Windows and message queues: window classes, hidden windows, posted messages and the message
// loop (RegisterClassExW, CreateWindowExW, DestroyWindow, IsWindow, DefWindowProcW,
// PostMessageW, PostThreadMessageW, PeekMessageW, GetMessageW, DispatchMessageW,
// TranslateMessage, PostQuitMessage, LoadCursorW).
// Queues, classes and windows are process-wide state of this shared library, so a host
// program and the libraries it loads see the same ones, as they share user32 on Windows. All
// functions are thread-safe. A thread's queue, and the windows it owns, go away when the
// thread ends.
// Differences from Windows in general: there is no display; windows are never shown or
// painted, and only posted messages and the messages named below are ever delivered. There
// are no sent (cross-thread SendMessage) messages, timers or input messages.
#pragma once

#include "types.h"

#define WM_CREATE 0x0001
#define WM_DESTROY 0x0002
#define WM_CLOSE 0x0010
#define WM_QUIT 0x0012
#define WM_USER 0x0400

#define CS_VREDRAW 0x0001
#define CS_HREDRAW 0x0002
#define COLOR_WINDOW 5

#define PM_NOREMOVE 0x0000
#define PM_REMOVE 0x0001

#ifndef MAKEINTRESOURCEW
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#endif
#define IDC_ARROW MAKEINTRESOURCEW(32512)

typedef LRESULT(CALLBACK* WNDPROC)(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

typedef struct tagPOINT {
    LONG x;
    LONG y;
} POINT;

typedef struct tagMSG {
    HWND hwnd;
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    DWORD time;
    POINT pt;
} MSG, *LPMSG;

typedef struct tagWNDCLASSEXW {
    UINT cbSize;
    UINT style;
    WNDPROC lpfnWndProc;
    int cbClsExtra;
    int cbWndExtra;
    HINSTANCE hInstance;
    HICON hIcon;
    HCURSOR hCursor;
    HBRUSH hbrBackground;
    LPCWSTR lpszMenuName;
    LPCWSTR lpszClassName;
    HICON hIconSm;
} WNDCLASSEXW;

// Registers a window class by name; returns a non-zero atom.
// Windows behaviour reproduced: a name that is registered already fails with
// ERROR_CLASS_ALREADY_EXISTS; names are compared without regard to ASCII letter case; cbSize
// must be sizeof(WNDCLASSEXW) and a procedure and name are required (else
// ERROR_INVALID_PARAMETER). Differences: classes are process-wide (not per module instance)
// and stay registered until UnregisterClassW or the end of the process; only the procedure is
// used.
WIN32_API ATOM WINAPI RegisterClassExW(const WNDCLASSEXW* windowClass);

// Removes a registered class. Windows behaviour reproduced: fails with ERROR_CLASS_HAS_WINDOWS
// while a window of the class exists and with ERROR_CLASS_DOES_NOT_EXIST for a name that is
// not registered; names are compared without regard to ASCII letter case. Differences: the
// instance is ignored (classes are process-wide).
WIN32_API BOOL WINAPI UnregisterClassW(LPCWSTR className, HINSTANCE instance);

// Creates a window of a registered class, owned by the calling thread (whose message queue it
// creates). Windows behaviour reproduced: the window procedure receives WM_CREATE (lParam
// null here) before the call returns, and the window is valid during it; a WM_CREATE result of
// -1 destroys the window (WM_DESTROY is sent) and the call returns null. An unknown class
// fails with ERROR_CANNOT_FIND_WND_CLASS. Differences: WM_NCCREATE, WM_NCDESTROY and the
// CREATESTRUCT are not supplied; styles, position, size, parent, menu, instance and the
// creation parameter are ignored.
WIN32_API HWND WINAPI CreateWindowExW(DWORD exStyle, LPCWSTR className, LPCWSTR windowName,
                                      DWORD style, int x, int y, int width, int height, HWND parent,
                                      HMENU menu, HINSTANCE instance, LPVOID parameter);

// Destroys a window: the procedure receives WM_DESTROY, then the handle is invalid and the
// messages still queued for it are discarded. Windows behaviour reproduced: only the owning
// thread may destroy a window (else ERROR_ACCESS_DENIED); it works from inside the window's
// own procedure, and a procedure may destroy its window while handling any message.
WIN32_API BOOL WINAPI DestroyWindow(HWND window);

// TRUE while the handle names a window that has not been destroyed. Handles are not reused.
WIN32_API BOOL WINAPI IsWindow(HWND window);

// Default handling: WM_CLOSE destroys the window (as on Windows); every other message
// returns 0.
WIN32_API LRESULT WINAPI DefWindowProcW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues a message for a window on its owning thread's queue, after those already queued, and
// returns at once. A null window posts to the calling thread's queue, as PostThreadMessageW.
// An invalid window fails with ERROR_INVALID_WINDOW_HANDLE.
WIN32_API BOOL WINAPI PostMessageW(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

// Queues a thread message (hwnd null) on the thread's queue. Windows behaviour reproduced: a
// thread that has no queue yet (it has not called PeekMessageW, GetMessageW or
// CreateWindowExW), or an id that is not a running thread's, fails with
// ERROR_INVALID_THREAD_ID.
WIN32_API BOOL WINAPI PostThreadMessageW(DWORD threadId, UINT message, WPARAM wParam,
                                         LPARAM lParam);

// Looks for a queued message of the calling thread without waiting; TRUE when one was found,
// copied to *msg and, with PM_REMOVE, taken from the queue. Every call creates the thread's
// queue. Filters as for GetMessageW.
// Difference: flags other than PM_REMOVE are ignored.
WIN32_API BOOL WINAPI PeekMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax,
                                   UINT removeMsg);

// Waits for the next message of the calling thread and takes it: messages in the order they
// were posted; the quit request of PostQuitMessage only once no other message waits.
// Windows behaviour reproduced: returns 0 for WM_QUIT, -1 on error (a null msg, or a window
// filter that is not a window: ERROR_INVALID_WINDOW_HANDLE), otherwise non-zero. A window
// filter selects that window's messages; filterMin/filterMax a message range (both 0: all).
WIN32_API BOOL WINAPI GetMessageW(LPMSG msg, HWND window, UINT filterMin, UINT filterMax);

// Calls the procedure of msg->hwnd with the message and returns its result. Thread messages
// (hwnd null) and messages for windows that are gone or owned by another thread are not
// dispatched (0).
WIN32_API LRESULT WINAPI DispatchMessageW(const MSG* msg);

// Keyboard translation; there is no keyboard input here, so it does nothing (FALSE).
WIN32_API BOOL WINAPI TranslateMessage(const MSG* msg);

// Asks the calling thread's message loop to end: GetMessageW returns 0 with WM_QUIT and this
// exit code once no other message waits.
WIN32_API void WINAPI PostQuitMessage(int exitCode);

// A cursor handle for the system cursors (IDC_ARROW); there is no display, so the handle only
// serves to fill a window class. Other ids or a non-null instance: null with
// ERROR_RESOURCE_NAME_NOT_FOUND.
WIN32_API HCURSOR WINAPI LoadCursorW(HINSTANCE instance, LPCWSTR cursorName);

// Not a Windows function; for tests of code that must not create windows: how many windows
// exist in the process now.
WIN32_API DWORD WINAPI Win32CompatWindowCount(void);
