// How long a send waits for its peer: one bound for every answer, taken from the process
// environment so that a host can tune it without an interface change.
#pragma once

namespace SMTPClientNS {

// libcurl's own response time-out, kept as the default.
inline constexpr long kDefaultResponseTimeoutSeconds = 120;
inline constexpr long kMaxResponseTimeoutSeconds = 86400;

// LARKMAIL_RESPONSE_TIMEOUT as whole seconds from 1 to 86400, read at each send; the default
// when it is unset or anything else.
long ResponseTimeoutSeconds();

} // namespace SMTPClientNS
