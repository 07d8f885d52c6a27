#include "transfer/kept_connection.h"

#include "platform/connection_socket.h"

namespace SMTPClientNS {

void KeptConnection::Attach(CURL* handle, const std::string& settings) {
    if (!handle)
        return;
    if (share_ && (settings != settings_ || !IsSocketQuiet(socket_)))
        Close();
    if (!share_) {
        share_ = curl_share_init();
        if (share_ &&
            (curl_share_setopt(share_, CURLSHOPT_LOCKFUNC, Lock) != CURLSHE_OK ||
             curl_share_setopt(share_, CURLSHOPT_UNLOCKFUNC, Unlock) != CURLSHE_OK ||
             curl_share_setopt(share_, CURLSHOPT_USERDATA, this) != CURLSHE_OK ||
             curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) != CURLSHE_OK)) {
            curl_share_cleanup(share_);
            share_ = nullptr;
        }
        if (!share_)
            return;
        settings_ = settings;
    }
    curl_easy_setopt(handle, CURLOPT_SHARE, share_);
}

int KeptConnection::Perform(CURL* handle) {
    const CURLcode result = curl_easy_perform(handle);
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK)
        socket = CURL_SOCKET_BAD;
    if (result == CURLE_OK) {
        socket_ = socket;
    } else {
        ShutDownSocket(socket);
        socket_ = CURL_SOCKET_BAD;
    }
    return result;
}

void KeptConnection::Close() {
    if (share_) {
        // A connection that is no longer quiet gets no QUIT: shut down, the attempt fails at
        // once instead of waiting for the peer.
        if (!IsSocketQuiet(socket_))
            ShutDownSocket(socket_);
        curl_share_cleanup(share_);
    }
    share_ = nullptr;
    socket_ = CURL_SOCKET_BAD;
    // The settings hold the credentials: keep no copy longer than needed.
    settings_.assign(settings_.size(), '\0');
    settings_.clear();
}

void KeptConnection::Lock(CURL*, curl_lock_data, curl_lock_access, void* self) {
    static_cast<KeptConnection*>(self)->mutex_.lock();
}

void KeptConnection::Unlock(CURL*, curl_lock_data, void* self) {
    static_cast<KeptConnection*>(self)->mutex_.unlock();
}

} // namespace SMTPClientNS
