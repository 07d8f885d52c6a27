#include "platform/connection_probe.h"

#include <winsock2.h>

namespace SMTPClientNS {

bool IsConnectionQuiet(CURL* handle) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (!handle || curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK ||
        socket == CURL_SOCKET_BAD)
        return false;
    WSAPOLLFD probe{socket, POLLRDNORM, 0};
    // Readable (data or end of stream), an error or a hang-up: not quiet.
    return WSAPoll(&probe, 1, 0) == 0;
}

} // namespace SMTPClientNS
