#include "platform/connection_probe.h"

#include <poll.h>

namespace SMTPClientNS {

bool IsConnectionQuiet(CURL* handle) {
    curl_socket_t socket = CURL_SOCKET_BAD;
    if (!handle || curl_easy_getinfo(handle, CURLINFO_ACTIVESOCKET, &socket) != CURLE_OK ||
        socket == CURL_SOCKET_BAD)
        return false;
    pollfd probe{socket, POLLIN, 0};
    // Readable (data or end of stream), an error or a hang-up: not quiet.
    return poll(&probe, 1, 0) == 0;
}

} // namespace SMTPClientNS
