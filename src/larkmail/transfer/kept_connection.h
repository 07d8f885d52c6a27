// The connection kept open between the transfers of one sender (a client's synchronous sends,
// or the transfers of a client's worker), so that the next transfer to the same server with the
// same settings skips the connect, EHLO, STARTTLS and AUTH.
//
// Rules: a transfer reuses the kept connection only when it was made with the same connection
// settings and is still quiet (a connection the server closed or is closing while it was idle
// is shut down and replaced); a failed transfer's connection is shut down at once; Close ends a
// healthy connection with QUIT, bounded by the response time-out.
#pragma once

#include <curl/curl.h>

#include <mutex>
#include <string>

namespace SMTPClientNS {

class KeptConnection {
public:
    KeptConnection() = default;
    ~KeptConnection() { Close(); }
    KeptConnection(const KeptConnection&) = delete;
    KeptConnection& operator=(const KeptConnection&) = delete;

    // Lets the handle's transfer reuse the kept connection and leave its own connection behind.
    // A kept connection made with other settings, or no longer quiet, is closed first. Every
    // handle that ran a transfer before must have been freed. Without a share object (out of
    // memory) the handle simply uses a connection of its own.
    void Attach(CURL* handle, const std::string& settings);

    // Runs the handle's transfer and returns its CURLcode. After a failure the connection is
    // shut down: nothing may talk to that peer again, and freeing the handle says nothing to
    // it. Close after freeing the handle, so that the next transfer connects anew.
    int Perform(CURL* handle);

    // Ends the kept connection: QUIT to a quiet one, at once for one that is not. Every handle
    // that used it must have been freed.
    void Close();

private:
    static void Lock(CURL*, curl_lock_data, curl_lock_access, void* self);
    static void Unlock(CURL*, curl_lock_data, void* self);

    CURLSH* share_ = nullptr;
    std::string settings_;
    // The socket of the connection the last transfer left behind, for the quiet check.
    curl_socket_t socket_ = CURL_SOCKET_BAD;
    // libcurl requires the lock when a share may be used from more than one thread; recursive,
    // as libcurl may take one kind of share data while it holds another.
    std::recursive_mutex mutex_;
};

} // namespace SMTPClientNS
