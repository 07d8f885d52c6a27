#include "transfer/transfer_set.h"

namespace SMTPClientNS {

void CreateTransfer(TransferSet& transfer) {
    transfer.handle = curl_easy_init();
    if (!transfer.handle)
        return;
    transfer.root = curl_mime_init(transfer.handle);
    transfer.alternative = curl_mime_init(transfer.handle);
    transfer.related = curl_mime_init(transfer.handle);
}

bool IsComplete(const TransferSet& transfer) {
    return transfer.handle && transfer.root && transfer.related && transfer.alternative;
}

void FreeTransfer(TransferSet& transfer) {
    if (!transfer.handle)
        return;
    curl_slist_free_all(transfer.recipients);
    curl_slist_free_all(transfer.headers);
    // Nested structures first: freeing one unbinds it from the root part that holds it.
    curl_mime_free(transfer.alternative);
    curl_mime_free(transfer.related);
    curl_mime_free(transfer.root);
    curl_easy_cleanup(transfer.handle);
    transfer = TransferSet{};
}

} // namespace SMTPClientNS
