#include "platform/connection_drop.h"

#include <winsock2.h>

namespace SMTPClientNS {

void DropConnection(CURL* handle) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (handle && curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket) == CURLE_OK &&
        socket != CURL_SOCKET_BAD)
        shutdown(socket, SD_BOTH);
}

} // namespace SMTPClientNS
