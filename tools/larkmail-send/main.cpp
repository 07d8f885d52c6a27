// larkmail-send: a host program and command-line tool. It loads the library through its two
// exports only, configures a client from its options and sends one message.
#include "exit_status.h"
#include "host_library.h"
#include "host_text.h"
#include "input_files.h"
#include "options.h"
#include "secrets.h"
#include "tool_errors.h"
#include "tool_platform.h"

#include <windows.h> // the message loop of an asynchronous send

#include <cstdio>
#include <iostream>
#include <utility>
#include <vector>

using namespace SMTPClientNS;
using larkhost::Utf8;
using larkhost::WideText;

namespace {

void ApplySettings(ISmtpClient* client, const SendOptions& o) {
    if (o.host)
        client->SetHost(WideText(*o.host).c_str());
    if (o.port)
        client->SetPort(*o.port);
    if (o.user)
        client->SetUser(WideText(*o.user).c_str());
    if (o.password)
        client->SetPassword(WideText(*o.password).c_str());
    if (o.token)
        client->SetBearerToken(WideText(*o.token).c_str());
    if (o.useTls)
        client->SetUseTls(*o.useTls);
    if (o.tlsVersion)
        client->SetTlsVersion(*o.tlsVersion);
    client->SetVerifyPeer(o.insecure ? 0 : 1);
    if (o.verifyStatus)
        client->SetVerifyStatus(*o.verifyStatus);
    if (o.connectTimeout)
        client->SetConnectTimeout(*o.connectTimeout);
    if (o.proxyHost)
        client->SetProxy(WideText(*o.proxyHost).c_str(), o.proxyPort, o.proxyKind,
                         WideText(o.proxyUser).c_str(), WideText(o.proxyPassword).c_str());
    if (o.logFile)
        client->SetLogFile(WideText(*o.logFile).c_str(), o.logAppend);
}

// Invalid addresses go to problems; files the library refuses to take go to unreadable.
void FillMessage(IMimeMessage* message, const SendOptions& o, std::vector<std::string>& problems,
                 std::vector<std::string>& unreadable) {
    if (o.charset)
        message->SetCharset(WideText(*o.charset).c_str());
    if (o.from &&
        message->SetSender(WideText(o.from->address).c_str(), WideText(o.from->name).c_str()) < 0)
        problems.push_back("invalid sender address: " + o.from->address);
    using Add = int (IMimeMessage::*)(const WideChar*, const WideChar*);
    const std::pair<const std::vector<SendOptions::Mailbox>*, Add> lists[] = {
        {&o.to, &IMimeMessage::AddRecipient},
        {&o.cc, &IMimeMessage::AddCc},
        {&o.bcc, &IMimeMessage::AddBcc}};
    for (const auto& [list, add] : lists)
        for (const SendOptions::Mailbox& mailbox : *list)
            if ((message->*add)(WideText(mailbox.address).c_str(), WideText(mailbox.name).c_str()) <
                0)
                problems.push_back("invalid recipient address: " + mailbox.address);
    if (o.subject)
        message->SetSubject(WideText(*o.subject).c_str());
    if (o.text)
        message->SetTextBody(WideText(*o.text).c_str());
    if (o.html)
        message->SetHtmlBody(WideText(*o.html).c_str());
    // Body files in the library's own formats; each was checked to be readable.
    for (const SendOptions::BodyFile& body : o.bodyFiles)
        message->LoadBodyFromFile(WideText(body.path).c_str(), BodyFileKind(body.kind));
    for (const std::string& path : o.attachments)
        if (message->AddAttachment(WideText(path).c_str()) < 0)
            unreadable.push_back("cannot attach " + path);
    for (const SendOptions::InlineImage& image : o.inlineImages)
        if (message->AddInlineImage(WideText(image.path).c_str(),
                                    WideText(image.contentId).c_str()) < 0)
            unreadable.push_back("cannot use the image " + image.path);
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
              << "password:        " << MaskedSecret(Utf8(client->GetPassword())) << "\n"
              << "bearer token:    " << MaskedSecret(Utf8(client->GetBearerToken())) << "\n"
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
              << "proxy password:  " << MaskedSecret(ProxyValue(client, PROXY_VALUE_PASSWORD))
              << "\n"
              << "last result:     " << client->GetLastResult() << "\n";
}

void PrintVersion(const std::string& library) {
    const char* version = LARKMAIL_SEND_VERSION;
    std::cout << "larkmail-send " << (*version ? version : "(unversioned)") << "\n"
              << "library: " << library << "\n"
              << LibcurlVersion() << "\n";
}

// Reads --text-file and --html-file into the message options and checks that the files the
// library reads itself can be read, so that an unreadable file stops the run before any send.
bool ReadInputs(SendOptions& o, std::vector<std::string>& failures) {
    std::string error;
    const std::pair<std::optional<std::string>*, std::optional<std::string>*> bodies[] = {
        {&o.textFile, &o.text}, {&o.htmlFile, &o.html}};
    for (auto [file, body] : bodies)
        if (*file && !ReadInputFile(**file, body->emplace(), error))
            failures.push_back(error);
    std::vector<std::string> libraryFiles;
    if (o.caFile)
        libraryFiles.push_back(*o.caFile);
    for (const SendOptions::BodyFile& body : o.bodyFiles)
        libraryFiles.push_back(body.path);
    libraryFiles.insert(libraryFiles.end(), o.attachments.begin(), o.attachments.end());
    for (const SendOptions::InlineImage& image : o.inlineImages)
        libraryFiles.push_back(image.path);
    for (const std::string& path : libraryFiles)
        if (!CheckReadableFile(path, error))
            failures.push_back(error);
    return failures.empty();
}

int SendTheMessage(const larkhost::LarkmailLibrary& library, ISmtpClient* client,
                   const SendOptions& options, const char* program) {
    IMimeMessage* message = library.createMimeMessage();
    if (!message) {
        ReportProblem(program, "the library has no CreateMimeMessage export");
        return kExitLibraryUnusable;
    }
    std::vector<std::string> problems, unreadable;
    FillMessage(message, options, problems, unreadable);
    for (const std::string& problem : problems)
        ReportProblem(program, problem);
    for (const std::string& problem : unreadable)
        ReportProblem(program, problem);
    int exitCode = !problems.empty()     ? kExitUsage
                   : !unreadable.empty() ? kExitUnreadableInput
                                         : kExitSuccess;
    if (exitCode == kExitSuccess) {
        client->SetMimeMessage(message);
        int result;
        if (options.async) {
            result = SendAsynchronously(client);
        } else {
            result = client->Send();
            std::cout << "result: " << result << "\n";
            // The server's own words say more than the library's text.
            const std::string serverLine = Utf8(client->GetLastSessionLine());
            if (result != SMTP_SUCCESS && !serverLine.empty())
                std::cout << "server: " << serverLine << "\n";
        }
        exitCode = result == SMTP_SUCCESS ? kExitSuccess : kExitSendFailed;
    }
    message->Release();
    return exitCode;
}

} // namespace

int RunLarkmailSend(int argc, char** argv) {
    const char* program = argv[0];
    SendOptions options;
    std::string error;
    if (!ParseOptions(argc, argv, options, error)) {
        ReportProblem(program, error + "\nTry '" + program + " --help'.");
        return kExitUsage;
    }
    const std::string libraryPath =
        options.library.empty() ? larkhost::LibraryBesideProgram() : options.library;
    if (options.help || options.version) {
        if (options.help)
            std::cout << UsageText(program);
        else
            PrintVersion(libraryPath);
        return kExitSuccess;
    }
    if (options.quiet)
        SilenceStderr();

    std::vector<std::string> warnings;
    if (!ResolveSecrets(options, warnings, error)) {
        ReportProblem(program, error);
        return kExitUnreadableInput;
    }
    for (const std::string& warning : warnings)
        ReportProblem(program, "warning: " + warning);
    // Asked before a body is read from standard input, which may be the same terminal.
    if (!options.showSettings && NeedsPassword(options)) {
        std::string password;
        if (PromptForPassword(ToolErrors(), password))
            options.password = password;
    }
    std::vector<std::string> failures;
    if (!ReadInputs(options, failures)) {
        for (const std::string& failure : failures)
            ReportProblem(program, failure + "; nothing sent");
        return kExitUnreadableInput;
    }
    // The library's process-wide way to trust a private CA, read at each send.
    if (options.caFile)
        SetEnvironmentValue("LARKMAIL_CA_FILE", *options.caFile);

    larkhost::LarkmailLibrary library(libraryPath);
    ISmtpClient* client = library.createSmtpClient();
    if (!client) {
        ReportProblem(program, "cannot use the library " + libraryPath + ": " +
                                   (library.ok() ? "no CreateSmtpClient export" : library.error()));
        return kExitLibraryUnusable;
    }
    ApplySettings(client, options);
    int exitCode = kExitSuccess;
    if (options.showSettings)
        PrintSettings(client);
    else
        exitCode = SendTheMessage(library, client, options, program);
    client->Release();
    return exitCode;
}
