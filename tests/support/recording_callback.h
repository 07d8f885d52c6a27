// An ISendCallback that records every completion with the thread it arrived on and the number
// of windows in the process at that moment.
#pragma once

#include "utf16.h"

#include <larkmail/larkmail.h>
#include <windows.h>

#include <string>
#include <vector>

namespace testsupport {

struct Completion {
    int taskId;
    int result;
    std::string message;
    DWORD thread;
    DWORD windowsAtCall;
};

class RecordingCallback : public SMTPClientNS::ISendCallback {
public:
    void OnSendComplete(int taskId, int result, const SMTPClientNS::WideChar* message) override {
        completions.push_back(
            {taskId, result, Utf8(message), GetCurrentThreadId(), Win32CompatWindowCount()});
    }
    // Filled on the thread that pumps messages for the client's window.
    std::vector<Completion> completions;
};

} // namespace testsupport
