// The library's two entry points. The host drives what they return through the objects'
// operation tables only; no exception leaves the library, so each returns null only when
// memory runs out.
#include "api/smtp_client_facade.h"
#include "message/mime_message.h"

using namespace SMTPClientNS;

LARKMAIL_EXPORT ISmtpClient* LARKMAIL_CALL CreateSmtpClient() {
    CSmtpClientWrapper* state = nullptr;
    try {
        state = new CSmtpClientWrapper();
        return new CSmtpClient(state);
    } catch (...) {
        if (state)
            state->Release();
        return nullptr;
    }
}

// A new, empty message owned by the host, which ends it with Release.
LARKMAIL_EXPORT IMimeMessage* LARKMAIL_CALL CreateMimeMessage() {
    try {
        return new CMimeMessage();
    } catch (...) {
        return nullptr;
    }
}
