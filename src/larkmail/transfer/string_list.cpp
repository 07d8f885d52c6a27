#include "transfer/string_list.h"

namespace SMTPClientNS {

bool StringListBuilder::Append(const char* text) {
    // A one-entry list is a node of its own, linked behind the known tail.
    curl_slist* node = curl_slist_append(nullptr, text);
    if (!node)
        return false;
    if (tail_)
        tail_->next = node;
    else
        head_ = node;
    tail_ = node;
    return true;
}

curl_slist* StringListBuilder::Release() {
    curl_slist* list = head_;
    head_ = tail_ = nullptr;
    return list;
}

} // namespace SMTPClientNS
