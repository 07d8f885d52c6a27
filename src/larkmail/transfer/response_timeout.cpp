#include "transfer/response_timeout.h"

#include <cstdlib>

namespace SMTPClientNS {

long ResponseTimeoutSeconds() {
    const char* text = std::getenv("LARKMAIL_RESPONSE_TIMEOUT");
    if (!text || !*text)
        return kDefaultResponseTimeoutSeconds;
    long seconds = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9')
            return kDefaultResponseTimeoutSeconds;
        seconds = seconds * 10 + (*p - '0');
        if (seconds > kMaxResponseTimeoutSeconds)
            return kDefaultResponseTimeoutSeconds;
    }
    return seconds > 0 ? seconds : kDefaultResponseTimeoutSeconds;
}

} // namespace SMTPClientNS
