// Owning handles for the library's objects in tests, and a client with a minimal message aimed
// at a local server.
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

// A client for host:port without TLS and with a 5 s connect time-out, and a message from
// sender@example.org to rcpt@example.org with a plain body, attached to it.
struct LocalSender {
    ClientPtr client;
    MessagePtr message;
    LocalSender(const char16_t* host, int port, const char16_t* body = u"hello");
    int send() { return client->Send(); }
};

} // namespace testsupport
