// larkmail-send: a host program and command-line tool. It loads the library through its two
// exports only, configures a client from its options and sends one message.
#include "host_library.h"
#include "host_text.h"
#include "options.h"

#include <windows.h> // the message loop of an asynchronous send

#include <cstdio>
#include <iostream>
#include <utility>
#include <vector>

using namespace SMTPClientNS;
using larkhost::Utf16;
using larkhost::Utf8;

namespace {

void ApplySettings(ISmtpClient* client, const SendOptions& o) {
    if (o.host)
        client->SetHost(Utf16(*o.host).c_str());
    if (o.port)
        client->SetPort(*o.port);
    if (o.user)
        client->SetUser(Utf16(*o.user).c_str());
    if (o.password)
        client->SetPassword(Utf16(*o.password).c_str());
    if (o.token)
        client->SetBearerToken(Utf16(*o.token).c_str());
    if (o.useTls)
        client->SetUseTls(*o.useTls);
    if (o.tlsVersion)
        client->SetTlsVersion(*o.tlsVersion);
    if (o.verifyPeer)
        client->SetVerifyPeer(*o.verifyPeer);
    if (o.verifyStatus)
        client->SetVerifyStatus(*o.verifyStatus);
    if (o.connectTimeout)
        client->SetConnectTimeout(*o.connectTimeout);
    if (o.proxyHost)
        client->SetProxy(Utf16(*o.proxyHost).c_str(), o.proxyPort, o.proxyKind,
                         Utf16(o.proxyUser).c_str(), Utf16(o.proxyPassword).c_str());
    if (o.logFile)
        client->SetLogFile(Utf16(*o.logFile).c_str(), o.logAppend);
}

void FillMessage(IMimeMessage* message, const SendOptions& o, std::vector<std::string>& problems) {
    if (o.charset)
        message->SetCharset(Utf16(*o.charset).c_str());
    if (o.from &&
        message->SetSender(Utf16(o.from->address).c_str(), Utf16(o.from->name).c_str()) < 0)
        problems.push_back("invalid sender address: " + o.from->address);
    using Add = int (IMimeMessage::*)(const WideChar*, const WideChar*);
    const std::pair<const std::vector<SendOptions::Mailbox>*, Add> lists[] = {
        {&o.to, &IMimeMessage::AddRecipient},
        {&o.cc, &IMimeMessage::AddCc},
        {&o.bcc, &IMimeMessage::AddBcc}};
    for (const auto& [list, add] : lists)
        for (const SendOptions::Mailbox& mailbox : *list)
            if ((message->*add)(Utf16(mailbox.address).c_str(), Utf16(mailbox.name).c_str()) < 0)
                problems.push_back("invalid recipient address: " + mailbox.address);
    if (o.subject)
        message->SetSubject(Utf16(*o.subject).c_str());
    if (o.text)
        message->SetTextBody(Utf16(*o.text).c_str());
    if (o.html)
        message->SetHtmlBody(Utf16(*o.html).c_str());
    for (const SendOptions::BodyFile& body : o.bodyFiles)
        message->LoadBodyFromFile(Utf16(body.path).c_str(), BodyFileKind(body.kind));
    for (const std::string& path : o.attachments)
        if (message->AddAttachment(Utf16(path).c_str()) < 0)
            problems.push_back("no such file to attach: " + path);
    for (const SendOptions::InlineImage& image : o.inlineImages)
        if (message->AddInlineImage(Utf16(image.path).c_str(), Utf16(image.contentId).c_str()) < 0)
            problems.push_back("no such image file: " + image.path);
    if (o.priority)
        message->SetPriority(*o.priority);
}

// Prints the completion of an asynchronous send and ends the message loop.
class CompletionPrinter : public ISendCallback {
public:
    int result = SMTP_ERR_GENERAL;
    void OnSendComplete(int taskId, int code, const WideChar* message) override {
        result = code;
        std::cout << "task " << taskId << " result: " << code;
        if (message && *message)
            std::cout << " (" << Utf8(message) << ")";
        std::cout << "\n";
        PostQuitMessage(0);
    }
};

// Sends on the worker thread; the completion arrives through this thread's message loop.
int SendAsynchronously(ISmtpClient* client) {
    CompletionPrinter printer;
    client->SetCallback(&printer);
    client->SendAsync();
    MSG msg;
    while (GetMessageW(&msg, nullptr, 0, 0) > 0) {
        TranslateMessage(&msg);
        DispatchMessageW(&msg);
    }
    client->SetCallback(nullptr);
    return printer.result;
}

std::string ProxyValue(ISmtpClient* client, int which) {
    WideChar buffer[PROXY_VALUE_BUFFER_SIZE] = {};
    client->GetProxyValue(buffer, which);
    return Utf8(buffer);
}

void PrintSettings(ISmtpClient* client) {
    std::cout << "host:            " << Utf8(client->GetHost()) << "\n"
              << "port:            " << client->GetPort() << "\n"
              << "user:            " << Utf8(client->GetUser()) << "\n"
              << "password:        " << Utf8(client->GetPassword()) << "\n"
              << "bearer token:    " << Utf8(client->GetBearerToken()) << "\n"
              << "use TLS:         " << (client->GetUseTls() ? "yes" : "no") << "\n"
              << "TLS version:     " << client->GetTlsVersion() << "\n"
              << "verify peer:     " << client->GetVerifyPeer() << "\n"
              << "verify status:   " << (client->GetVerifyStatus() ? "yes" : "no") << "\n"
              << "connect timeout: " << client->GetConnectTimeout() << "\n"
              << "proxy enabled:   " << (client->IsProxyEnabled() ? "yes" : "no") << "\n"
              << "proxy host:      " << ProxyValue(client, PROXY_VALUE_HOST) << "\n"
              << "proxy port:      " << ProxyValue(client, PROXY_VALUE_PORT) << "\n"
              << "proxy kind:      " << ProxyValue(client, PROXY_VALUE_KIND) << "\n"
              << "proxy user:      " << ProxyValue(client, PROXY_VALUE_USER) << "\n"
              << "proxy password:  " << ProxyValue(client, PROXY_VALUE_PASSWORD) << "\n"
              << "last result:     " << client->GetLastResult() << "\n";
}

} // namespace

int main(int argc, char** argv) {
    SendOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        std::cerr << argv[0] << ": " << error << "\nTry '" << argv[0] << " --help'.\n";
        return 2;
    }
    if (options.help) {
        std::cout << UsageText(argv[0]);
        return 0;
    }

    const std::string path =
        options.library.empty() ? larkhost::LibraryBesideProgram() : options.library;
    larkhost::LarkmailLibrary library(path);
    ISmtpClient* client = library.createSmtpClient();
    if (!client) {
        std::cerr << argv[0] << ": cannot use the library " << path << ": "
                  << (library.ok() ? "no CreateSmtpClient export" : library.error()) << "\n";
        return 1;
    }
    ApplySettings(client, options);

    int exitCode = 0;
    if (options.showSettings) {
        PrintSettings(client);
    } else {
        IMimeMessage* message = library.createMimeMessage();
        if (!message) {
            std::cerr << argv[0] << ": the library has no CreateMimeMessage export\n";
            client->Release();
            return 1;
        }
        std::vector<std::string> problems;
        FillMessage(message, options, problems);
        for (const std::string& problem : problems)
            std::cerr << argv[0] << ": " << problem << "\n";
        if (problems.empty()) {
            client->SetMimeMessage(message);
            int result;
            if (options.async) {
                result = SendAsynchronously(client);
            } else {
                result = client->Send();
                std::cout << "result: " << result << "\n";
            }
            exitCode = result == SMTP_SUCCESS ? 0 : 1;
        } else {
            exitCode = 2;
        }
        message->Release();
    }
    client->Release();
    return exitCode;
}
