// The connection a client keeps open between its synchronous sends, so that the next send to
// the same server with the same settings skips the connect, EHLO, STARTTLS and AUTH.
#pragma once

#include <curl/curl.h>

#include <string>

namespace SMTPClientNS {

// A libcurl share object that holds the connection cache, and the connection settings the
// kept connection was made with. Only one thread at a time may use it (the client's
// synchronous sends are serialised).
class ConnectionCache {
public:
    ConnectionCache() = default;
    ~ConnectionCache() { Close(); }
    ConnectionCache(const ConnectionCache&) = delete;
    ConnectionCache& operator=(const ConnectionCache&) = delete;

    // Lets the handle's transfer reuse the kept connection and leave its own connection behind
    // when it ends. A connection made with other settings is closed first. Without a share
    // object (out of memory) the handle simply uses a connection of its own.
    void Attach(CURL* handle, const std::string& settings);

    // Closes the kept connection: a healthy peer gets QUIT, bounded by the response time-out of
    // the last transfer. Every handle that used the cache must have been freed before.
    void Close();

private:
    CURLSH* share_ = nullptr;
    std::string settings_;
};

} // namespace SMTPClientNS
