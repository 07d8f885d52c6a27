// Whether a connection kept between sends is still quiet, as an idle SMTP connection must be.
#pragma once

#include <curl/curl.h>

namespace SMTPClientNS {

// True when the handle's last transfer left a connection open that has nothing to read and
// no error; false without such a connection. Input on an idle connection means the server
// has closed it, is closing it (a TLS close alert, a 421 reply) or is out of step with us:
// such a connection must not carry the next send.
bool IsConnectionQuiet(CURL* handle);

} // namespace SMTPClientNS
