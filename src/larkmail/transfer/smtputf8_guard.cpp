#include "transfer/smtputf8_guard.h"

#include "log/send_log.h"

#include <cstring>

namespace SMTPClientNS {

namespace {

// The trace's mode byte (non-zero: text mode); libcurl may report to the trace while it frees a
// handle, after the send that set it.
const char kTextMode = 1;

// ASCII comparison of length bytes without regard to letter case; upper is in upper case.
bool SameWord(const char* text, const char* upper, size_t length) {
    for (size_t i = 0; i < length; ++i) {
        const char c = text[i] >= 'a' && text[i] <= 'z' ? char(text[i] - 'a' + 'A') : text[i];
        if (c != upper[i])
            return false;
    }
    return true;
}

bool StartsWithCommand(const char* data, size_t size, const char* command) {
    const size_t length = std::strlen(command);
    return size > length && data[length] == ' ' && SameWord(data, command, length);
}

// "250-SMTPUTF8" or "250 SMTPUTF8", the keyword alone on its line.
bool ListsSmtpUtf8(const char* data, size_t size) {
    static const char kKeyword[] = "SMTPUTF8";
    const size_t keyword = sizeof kKeyword - 1;
    if (size < 4 + keyword || std::strncmp(data, "250", 3) != 0 ||
        (data[3] != '-' && data[3] != ' '))
        return false;
    if (!SameWord(data + 4, kKeyword, keyword))
        return false;
    const size_t end = 4 + keyword;
    return end == size || data[end] == '\r' || data[end] == '\n' || data[end] == ' ';
}

} // namespace

void Smtputf8Guard::Observe(CURL* handle, bool traced) {
    observed_ = handle;
    traced_ = traced;
    required_ = stopped_ = false;
    if (!handle)
        return;
    curl_easy_setopt(handle, CURLOPT_VERBOSE, 1L);
    curl_easy_setopt(handle, CURLOPT_DEBUGFUNCTION, OnDebug);
    curl_easy_setopt(handle, CURLOPT_DEBUGDATA, this);
}

void Smtputf8Guard::Require(CURL* handle, bool required) {
    if (!handle || !required)
        return;
    if (observed_ != handle)
        Observe(handle, false);
    required_ = true;
    curl_easy_setopt(handle, CURLOPT_PREREQFUNCTION, OnBeforeRequest);
    curl_easy_setopt(handle, CURLOPT_PREREQDATA, this);
}

int Smtputf8Guard::Outcome(int result) const {
    return stopped_ ? kSmtpUtf8Unavailable : result;
}

int Smtputf8Guard::OnDebug(CURL* handle, curl_infotype type, char* data, size_t size, void* guard) {
    Smtputf8Guard* self = static_cast<Smtputf8Guard*>(guard);
    self->Watch(type, data, size);
    if (self->traced_)
        OnCurlDebug(handle, type, data, size, const_cast<char*>(&kTextMode));
    return 0;
}

// Runs once the connection is set up (greeting, EHLO, STARTTLS, AUTH done, or reused), before
// the first command of the mail.
int Smtputf8Guard::OnBeforeRequest(void* guard, char*, char*, int, int) {
    Smtputf8Guard* self = static_cast<Smtputf8Guard*>(guard);
    if (!self->required_ || self->offered_)
        return CURL_PREREQFUNC_OK;
    self->stopped_ = true;
    return CURL_PREREQFUNC_ABORT;
}

void Smtputf8Guard::Watch(curl_infotype type, const char* data, size_t size) {
    if (type == CURLINFO_HEADER_OUT) {
        // A new EHLO (a new connection, or again after STARTTLS) replaces what was offered.
        inGreetingReply_ =
            StartsWithCommand(data, size, "EHLO") || StartsWithCommand(data, size, "HELO");
        if (inGreetingReply_)
            offered_ = false;
    } else if (type == CURLINFO_HEADER_IN && inGreetingReply_ && ListsSmtpUtf8(data, size)) {
        offered_ = true;
    }
}

} // namespace SMTPClientNS
