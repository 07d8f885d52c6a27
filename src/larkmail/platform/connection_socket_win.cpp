#include "platform/connection_socket.h"

#include <winsock2.h>

namespace SMTPClientNS {

bool IsSocketQuiet(curl_socket_t socket) {
    if (socket == CURL_SOCKET_BAD)
        return false;
    WSAPOLLFD probe{socket, POLLRDNORM, 0};
    // Readable (data or end of stream), an error or a hang-up: not quiet.
    return WSAPoll(&probe, 1, 0) == 0;
}

void ShutDownSocket(curl_socket_t socket) {
    if (socket != CURL_SOCKET_BAD)
        shutdown(socket, SD_BOTH);
}

} // namespace SMTPClientNS
