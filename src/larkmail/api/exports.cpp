// The library's two entry points.
#include <larkmail/larkmail.h>

// --- CreateMimeMessage ---------------------------------------------------------------------
#include "message/mime_message.h"

// A new, empty message owned by the host, which ends it with Release. Null only when memory
// runs out: no exception may reach the host.
LARKMAIL_EXPORT SMTPClientNS::IMimeMessage* LARKMAIL_CALL CreateMimeMessage() {
    try {
        return new SMTPClientNS::CMimeMessage();
    } catch (...) {
        return nullptr;
    }
}
