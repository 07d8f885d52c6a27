// An address whose local part lies outside ASCII travels only with SMTPUTF8 (RFC 6531). libcurl
// asks for it in MAIL FROM when the server offers it, and otherwise sends the address as it is,
// which a server may refuse, mangle or deliver to someone else. The guard follows the server's
// EHLO replies through libcurl's debug callback and, when the envelope needs SMTPUTF8 that the
// server did not offer, stops the transfer after the login and before MAIL FROM: nothing of the
// mail is sent.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// Internal result of a transfer the guard stopped.
const int kSmtpUtf8Unavailable = -23;

// One per connection owner: what the server offered stays known while libcurl reuses the
// connection without a new EHLO. It must outlive every handle it is attached to.
class Smtputf8Guard {
public:
    // Makes the handle report its protocol lines to the guard, and through it to the calling
    // thread's send trace when traced.
    void Observe(CURL* handle, bool traced);

    // With required (the envelope holds an international address) the handle's transfer stops
    // before MAIL FROM unless the server offered SMTPUTF8; the handle is observed first if it
    // is not yet. Without, nothing changes.
    void Require(CURL* handle, bool required);

    // The transfer's result: kSmtpUtf8Unavailable when the guard stopped it.
    int Outcome(int result) const;

private:
    static int OnDebug(CURL* handle, curl_infotype type, char* data, size_t size, void* guard);
    static int OnBeforeRequest(void* guard, char* remoteIp, char* localIp, int remotePort,
                               int localPort);
    void Watch(curl_infotype type, const char* data, size_t size);

    CURL* observed_ = nullptr;
    bool traced_ = false;
    bool required_ = false;
    bool inGreetingReply_ = false; // between EHLO (or HELO) and the next command
    bool offered_ = false;         // the last EHLO reply listed SMTPUTF8
    bool stopped_ = false;
};

} // namespace SMTPClientNS
