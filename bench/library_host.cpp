// The library side of the benchmarks: a host that loads the library with dlopen and sends
// through its exports what larkmail-bench-curl sends through libcurl directly. Prints
// "seconds S failures F" for the timed part.
//
// Usage: larkmail-bench-host small PORT COUNT
//        larkmail-bench-host tls PORT COUNT USER PASSWORD        (one client, COUNT sends)
//        larkmail-bench-host attach PORT FILE
//        larkmail-bench-host async PORT CLIENTS COUNT            (SendAsync, callbacks pumped)
//        larkmail-bench-host tls-async PORT COUNT USER PASSWORD  (one client, COUNT SendAsync)
//        larkmail-bench-host compose PORT RECIPIENTS FOLDER ATTACHMENTS REPEAT
// "compose" sends to a port where nothing listens, so that the time is the composition of the
// message (recipient list, header block, MIME tree) and not the transfer.
#include "bench_message.h"
#include "host_library.h"

#include <windows.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

using namespace SMTPClientNS;

namespace {

std::u16string Wide(const std::string& text) {
    return std::u16string(text.begin(), text.end()); // ASCII only
}

struct Arguments {
    std::string mode;
    int port = 0;
    int count = 1;
    int clients = 1;
    int recipients = 1;
    int attachments = 0;
    std::string user, password, file, folder;
};

IMimeMessage* NewMessage(const larkhost::LarkmailLibrary& library, const Arguments& arguments) {
    IMimeMessage* message = library.createMimeMessage();
    message->SetSender(u"" BENCH_SENDER, u"Bench");
    message->AddRecipient(u"" BENCH_RECIPIENT, u"Recipient");
    for (int i = 1; i < arguments.recipients; ++i)
        message->AddRecipient(Wide("rcpt" + std::to_string(i) + "@example.org").c_str(),
                              Wide("Recipient " + std::to_string(i)).c_str());
    message->SetSubject(u"" BENCH_SUBJECT);
    message->SetCharset(u"UTF-8");
    char* body = BenchBody();
    message->SetTextBody(Wide(body).c_str());
    std::free(body);
    if (!arguments.file.empty())
        message->AddAttachment(Wide(arguments.file).c_str());
    for (int i = 0; i < arguments.attachments; ++i)
        message->AddAttachment(
            Wide(arguments.folder + "/attachment" + std::to_string(i) + ".bin").c_str());
    return message;
}

ISmtpClient* NewClient(const larkhost::LarkmailLibrary& library, const Arguments& arguments,
                       IMimeMessage* message) {
    ISmtpClient* client = library.createSmtpClient();
    client->SetHost(u"127.0.0.1");
    client->SetPort(arguments.port);
    client->SetUseTls(!arguments.user.empty());
    if (!arguments.user.empty()) {
        client->SetVerifyPeer(0);
        client->SetUser(Wide(arguments.user).c_str());
        client->SetPassword(Wide(arguments.password).c_str());
    }
    client->SetMimeMessage(message);
    return client;
}

// Synchronous sends through one client.
int SendInOrder(const larkhost::LarkmailLibrary& library, const Arguments& arguments) {
    IMimeMessage* message = NewMessage(library, arguments);
    ISmtpClient* client = NewClient(library, arguments, message);
    int failures = 0;
    for (int i = 0; i < arguments.count; ++i)
        failures += client->Send() != SMTP_SUCCESS;
    client->Release();
    message->Release();
    return failures;
}

// Every composition reaches the transfer, which fails at once; what counts is that it ran.
int Compose(const larkhost::LarkmailLibrary& library, const Arguments& arguments) {
    IMimeMessage* message = NewMessage(library, arguments);
    ISmtpClient* client = NewClient(library, arguments, message);
    int failures = 0;
    for (int i = 0; i < arguments.count; ++i)
        failures += client->Send() == SMTP_SUCCESS;
    client->Release();
    message->Release();
    return failures;
}

class CountingCallback : public ISendCallback {
public:
    void OnSendComplete(int, int result, const WideChar*) override {
        ++completed;
        failures += result != SMTP_SUCCESS;
    }
    int completed = 0;
    int failures = 0;
};

// COUNT asynchronous sends on each of CLIENTS clients at once; the callbacks arrive through
// this thread's message loop.
int SendAsynchronously(const larkhost::LarkmailLibrary& library, const Arguments& arguments) {
    CountingCallback callback;
    IMimeMessage* message = NewMessage(library, arguments);
    std::vector<ISmtpClient*> clients;
    int failures = 0;
    for (int c = 0; c < arguments.clients; ++c) {
        clients.push_back(NewClient(library, arguments, message));
        clients.back()->SetCallback(&callback);
    }
    const int total = arguments.clients * arguments.count;
    for (int i = 0; i < arguments.count; ++i)
        for (ISmtpClient* client : clients)
            if (client->SendAsync() <= 0) {
                ++failures;
                ++callback.completed;
            }
    MSG msg;
    while (callback.completed < total && GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    for (ISmtpClient* client : clients)
        client->Release();
    message->Release();
    return failures + callback.failures;
}

bool Parse(int argc, char** argv, Arguments& a) {
    if (argc < 3)
        return false;
    a.mode = argv[1];
    a.port = std::atoi(argv[2]);
    if (a.mode == "small" && argc == 4) {
        a.count = std::atoi(argv[3]);
    } else if (a.mode == "tls" && argc == 6) {
        a.count = std::atoi(argv[3]);
        a.user = argv[4];
        a.password = argv[5];
    } else if (a.mode == "attach" && argc == 4) {
        a.file = argv[3];
    } else if (a.mode == "async" && argc == 5) {
        a.clients = std::atoi(argv[3]);
        a.count = std::atoi(argv[4]);
    } else if (a.mode == "tls-async" && argc == 6) {
        a.count = std::atoi(argv[3]);
        a.user = argv[4];
        a.password = argv[5];
    } else if (a.mode == "compose" && argc == 7) {
        a.recipients = std::atoi(argv[3]);
        a.folder = argv[4];
        a.attachments = std::atoi(argv[5]);
        a.count = std::atoi(argv[6]);
    } else {
        return false;
    }
    return true;
}

} // namespace

int main(int argc, char** argv) {
    Arguments arguments;
    if (!Parse(argc, argv, arguments)) {
        std::fprintf(stderr, "usage: see the head of library_host.cpp\n");
        return 2;
    }
    larkhost::LarkmailLibrary library(larkhost::LibraryBesideProgram());
    if (!library.ok()) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return 1;
    }
    const auto start = std::chrono::steady_clock::now();
    int failures;
    if (arguments.mode == "async" || arguments.mode == "tls-async")
        failures = SendAsynchronously(library, arguments);
    else if (arguments.mode == "compose")
        failures = Compose(library, arguments);
    else
        failures = SendInOrder(library, arguments);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("seconds %.6f failures %d\n", seconds, failures);
    return failures == 0 ? 0 : 1;
}
