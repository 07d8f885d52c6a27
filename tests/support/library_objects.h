// Owning handles for the library's objects in tests (one idiom: a unique_ptr that calls
// Release), and a client with a minimal message aimed at a local server.
#pragma once

#include "library_loader.h"

#include <memory>
#include <string>

namespace testsupport {

// Ends a library object with its own Release.
struct Released {
    template <typename T> void operator()(T* object) const {
        if (object)
            object->Release();
    }
};
using ClientPtr = std::unique_ptr<SMTPClientNS::ISmtpClient, Released>;
using MessagePtr = std::unique_ptr<SMTPClientNS::IMimeMessage, Released>;

inline ClientPtr NewClient() {
    return ClientPtr(Library().createSmtpClient());
}

inline MessagePtr NewMessage() {
    return MessagePtr(Library().createMimeMessage());
}

// A returned text for comparisons; "<null>" shows a null pointer.
inline std::u16string Str(const SMTPClientNS::WideChar* text) {
    return text ? std::u16string(text) : u"<null>";
}

// A client for host:port without TLS and with a 5 s connect time-out, and a message from
// sender@example.org to rcpt@example.org with a plain body, attached to it.
struct LocalSender {
    ClientPtr client;
    MessagePtr message;
    LocalSender(const char16_t* host, int port, const char16_t* body = u"hello");
    int send() { return client->Send(); }
};

} // namespace testsupport
