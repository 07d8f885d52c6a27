#include "library_objects.h"

namespace testsupport {

LocalSender::LocalSender(const char16_t* host, int port, const char16_t* body)
    : client(Library().createSmtpClient()), message(Library().createMimeMessage()) {
    client->SetHost(host);
    client->SetPort(port);
    client->SetUseTls(false);
    client->SetConnectTimeout(5);
    message->SetSender(u"sender@example.org", nullptr);
    message->AddRecipient(u"rcpt@example.org", nullptr);
    message->SetTextBody(body);
    client->SetMimeMessage(message.get());
}

} // namespace testsupport
