// Sends one message synchronously to 127.0.0.1:PORT in the clear. Built with the flags of
// `pkg-config --cflags --libs larkmail`, so the exports are called directly.
//   pkg_config_consumer PORT
#include <larkmail/larkmail.h>

#include <cstdio>
#include <cstdlib>

using namespace SMTPClientNS;

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    IMimeMessage* message = CreateMimeMessage();
    message->SetSender(u"ann@example.org", u"Ann");
    message->AddRecipient(u"pkg-config@example.org", u"pkg-config consumer");
    message->SetSubject(u"pkg-config");
    message->SetTextBody(u"sent synchronously");

    ISmtpClient* client = CreateSmtpClient();
    client->SetHost(u"127.0.0.1");
    client->SetPort(std::atoi(argv[1]));
    client->SetUseTls(false);
    client->SetConnectTimeout(10);
    client->SetMimeMessage(message);
    const int result = client->Send();
    client->Release();
    message->Release();
    std::printf("result: %d\n", result);
    return result == SMTP_SUCCESS ? 0 : 1;
}
