#include "smtp_peer.h"

#include "header_form.h"
#include "json_text.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <stdexcept>
#include <thread>

namespace testsupport {

namespace {

std::vector<std::string> ServerCommand(const SmtpPeerOptions& options, const std::string& store) {
    // Long lines are accepted so that the header form check measures them (aiosmtpd's default
    // would refuse lines over 1001 octets instead).
    std::vector<std::string> argv = {kSystemPython,
                                     std::string(TEST_SUPPORT_DIR) + "/smtp_server.py",
                                     "--store",
                                     store,
                                     "--exit-with-stdin",
                                     "--max-line-length",
                                     "1048576"};
    if (!options.certFile.empty())
        argv.insert(argv.end(), {"--cert", options.certFile, "--key", options.keyFile});
    if (options.requireTls)
        argv.push_back("--require-tls");
    if (!options.user.empty())
        argv.insert(argv.end(), {"--user", options.user, "--password", options.password});
    if (!options.xoauth2Token.empty())
        argv.insert(argv.end(), {"--xoauth2-token", options.xoauth2Token});
    if (options.authWithoutTls)
        argv.push_back("--auth-without-tls");
    for (const std::string& address : options.rejectRecipients)
        argv.insert(argv.end(), {"--reject-recipient", address});
    if (options.neverGreet)
        argv.push_back("--never-greet");
    if (!options.smtputf8)
        argv.push_back("--no-smtputf8");
    if (!options.fault.empty())
        argv.insert(argv.end(), {"--fault", options.fault});
    if (options.idleTimeoutSeconds > 0)
        argv.insert(argv.end(), {"--idle-timeout", std::to_string(options.idleTimeoutSeconds)});
    if (options.maxMessageSize >= 0)
        argv.insert(argv.end(), {"--max-message-size", std::to_string(options.maxMessageSize)});
    return argv;
}

size_t CountEnvelopes(const std::string& folder) {
    size_t count = 0;
    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(folder, ec))
        count += entry.path().extension() == ".json";
    return count;
}

} // namespace

SmtpPeer::SmtpPeer(const SmtpPeerOptions& options) : child_(ServerCommand(options, store_.path())) {
    std::string line;
    if (!child_.readLine(line, std::chrono::seconds(15)) || line.rfind("PORT ", 0) != 0)
        throw std::runtime_error("smtp_server.py did not report its port");
    port_ = std::stoi(line.substr(5));
}

bool SmtpPeer::waitForMessages(size_t count, std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    while (CountEnvelopes(store_.path()) < count) {
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

std::vector<StoredMessage> SmtpPeer::messages() const {
    std::vector<StoredMessage> stored;
    for (int index = 1;; ++index) {
        char stem[16];
        std::snprintf(stem, sizeof stem, "%04d", index);
        const std::string envelopePath = store_.file(std::string(stem) + ".json");
        if (!std::filesystem::exists(envelopePath))
            break;
        const nlohmann::json envelope = nlohmann::json::parse(ReadFileBytes(envelopePath));
        StoredMessage message;
        message.index = index;
        message.mailFrom = JsonText(envelope, "mail_from");
        message.recipients = envelope.at("rcpt_tos").get<std::vector<std::string>>();
        message.mailOptions = envelope.at("mail_options").get<std::vector<std::string>>();
        message.authUser = JsonText(envelope, "auth_user");
        message.tls = envelope.at("tls").get<bool>();
        message.emlPath = store_.file(std::string(stem) + ".eml");
        message.data = ReadFileBytes(message.emlPath);
        for (const std::string& fault : HeaderFormFaults(message.data))
            ADD_FAILURE() << message.emlPath << ": " << fault;
        stored.push_back(std::move(message));
    }
    return stored;
}

std::vector<std::string> SmtpPeer::connectionEvents() const {
    std::vector<std::string> events;
    const std::string path = store_.file("connections.log");
    if (!std::filesystem::exists(path))
        return events;
    const std::string text = ReadFileBytes(path);
    for (size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        events.push_back(text.substr(at, end - at));
    return events;
}

bool SmtpPeer::waitForConnectionEvent(const std::string& event,
                                      std::chrono::milliseconds timeout) const {
    const auto deadline = std::chrono::steady_clock::now() + timeout;
    for (;;) {
        const std::vector<std::string> events = connectionEvents();
        if (std::find(events.begin(), events.end(), event) != events.end())
            return true;
        if (std::chrono::steady_clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
}

const TestCertificateFiles& TestCertificate() {
    static TempDir folder;
    static const TestCertificateFiles files = [] {
        TestCertificateFiles made{folder.file("cert.pem"), folder.file("key.pem")};
        const ProcessResult run =
            RunProcess({"openssl", "req", "-x509", "-newkey", "ec", "-pkeyopt",
                        "ec_paramgen_curve:prime256v1", "-nodes", "-days", "2", "-subj",
                        "/CN=localhost", "-addext", "subjectAltName=DNS:localhost,IP:127.0.0.1",
                        "-keyout", made.keyFile, "-out", made.certFile});
        if (run.exitCode != 0)
            throw std::runtime_error("openssl could not make the test certificate");
        return made;
    }();
    return files;
}

} // namespace testsupport
