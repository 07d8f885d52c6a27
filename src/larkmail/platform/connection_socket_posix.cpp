#include "platform/connection_socket.h"

#include <poll.h>
#include <sys/socket.h>

namespace SMTPClientNS {

bool IsSocketQuiet(curl_socket_t socket) {
    if (socket == CURL_SOCKET_BAD)
        return false;
    pollfd probe{socket, POLLIN, 0};
    // Readable (data or end of stream), an error or a hang-up: not quiet.
    return poll(&probe, 1, 0) == 0;
}

void ShutDownSocket(curl_socket_t socket) {
    if (socket != CURL_SOCKET_BAD)
        shutdown(socket, SHUT_RDWR);
}

} // namespace SMTPClientNS
