// libcurl string lists built at their tail.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// Builds a curl_slist in constant time per entry (curl_slist_append walks the whole list to
// find its end). Owns the list until Release.
class StringListBuilder {
public:
    StringListBuilder() = default;
    ~StringListBuilder() { curl_slist_free_all(head_); }
    StringListBuilder(const StringListBuilder&) = delete;
    StringListBuilder& operator=(const StringListBuilder&) = delete;

    // Appends a copy of text; false when memory runs out, with the list so far kept.
    bool Append(const char* text);
    // Hands the list over (free it with curl_slist_free_all); the builder is empty after it.
    curl_slist* Release();

private:
    curl_slist* head_ = nullptr;
    curl_slist* tail_ = nullptr;
};

} // namespace SMTPClientNS
