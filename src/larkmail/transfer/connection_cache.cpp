#include "transfer/connection_cache.h"

namespace SMTPClientNS {

void ConnectionCache::Attach(CURL* handle, const std::string& settings) {
    if (!handle)
        return;
    if (share_ && settings != settings_)
        Close();
    if (!share_) {
        share_ = curl_share_init();
        if (share_ &&
            curl_share_setopt(share_, CURLSHOPT_SHARE, CURL_LOCK_DATA_CONNECT) != CURLSHE_OK) {
            curl_share_cleanup(share_);
            share_ = nullptr;
        }
        if (!share_)
            return;
        settings_ = settings;
    }
    curl_easy_setopt(handle, CURLOPT_SHARE, share_);
}

void ConnectionCache::Close() {
    if (share_)
        curl_share_cleanup(share_);
    share_ = nullptr;
    // The settings hold the credentials: keep no copy longer than needed.
    settings_.assign(settings_.size(), '\0');
    settings_.clear();
}

} // namespace SMTPClientNS
