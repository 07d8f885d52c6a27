// Sends one message asynchronously to 127.0.0.1:PORT in the clear and pumps messages until
// the completion arrives. Linked against the library, so the exports are called directly.
//   cmake_consumer PORT
#include <larkmail/larkmail.h>
#include <windows.h>

#include <cstdio>
#include <cstdlib>

using namespace SMTPClientNS;

namespace {

class QuitOnCompletion : public ISendCallback {
public:
    void OnSendComplete(int, int result, const WideChar*) override {
        result_ = result;
        PostQuitMessage(0);
    }
    int result() const { return result_; }

private:
    int result_ = 0;
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2)
        return 2;
    IMimeMessage* message = CreateMimeMessage();
    message->SetSender(u"ann@example.org", u"Ann");
    message->AddRecipient(u"cmake@example.org", u"CMake consumer");
    message->SetSubject(u"find_package");
    message->SetTextBody(u"sent asynchronously");

    QuitOnCompletion callback;
    ISmtpClient* client = CreateSmtpClient();
    client->SetHost(u"127.0.0.1");
    client->SetPort(std::atoi(argv[1]));
    client->SetUseTls(false);
    client->SetConnectTimeout(10);
    client->SetMimeMessage(message);
    client->SetCallback(&callback);
    client->SendAsync();

    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    client->Release();
    message->Release();
    std::printf("result: %d\n", callback.result());
    return callback.result() == SMTP_SUCCESS ? 0 : 1;
}
