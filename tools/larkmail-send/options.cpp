#include "options.h"

#include <climits>
#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

namespace {

bool ParseInt(const std::string& text, int& value) {
    if (text.empty())
        return false;
    // long long: long has 32 bits on Windows, where a value out of range would be clamped.
    char* end = nullptr;
    const long long parsed = std::strtoll(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < INT_MIN || parsed > INT_MAX)
        return false;
    value = int(parsed);
    return true;
}

bool ParseProxyKind(const std::string& text, int& kind) {
    static const std::map<std::string, int> kinds = {
        {"socks4", 0}, {"socks4a", 1}, {"socks5", 2}, {"socks5h", 3}};
    const auto found = kinds.find(text);
    if (found != kinds.end()) {
        kind = found->second;
        return true;
    }
    return ParseInt(text, kind);
}

// "host:port"; the port is after the last colon.
bool ParseHostPort(const std::string& text, std::string& host, int& port) {
    const size_t colon = text.rfind(':');
    if (colon == std::string::npos || colon == 0)
        return false;
    host = text.substr(0, colon);
    return ParseInt(text.substr(colon + 1), port);
}

// "Name <address>" or a bare address.
bool ParseMailbox(const std::string& text, SendOptions::Mailbox& mailbox) {
    const size_t open = text.rfind('<');
    if (!text.empty() && text.back() == '>' && open != std::string::npos) {
        mailbox.address = text.substr(open + 1, text.size() - open - 2);
        std::string name = text.substr(0, open);
        while (!name.empty() && name.back() == ' ')
            name.pop_back();
        if (name.size() >= 2 && name.front() == '"' && name.back() == '"')
            name = name.substr(1, name.size() - 2);
        mailbox.name = name;
    } else {
        mailbox.address = text;
    }
    return !mailbox.address.empty();
}

bool ParsePriority(const std::string& text, int& priority) {
    static const std::map<std::string, int> names = {{"normal", 0}, {"low", 1}, {"high", 2}};
    const auto found = names.find(text);
    if (found != names.end()) {
        priority = found->second;
        return true;
    }
    return ParseInt(text, priority);
}

// "KIND:PATH" with KIND a number 0-5 or its name.
bool ParseBodyFile(const std::string& text, SendOptions::BodyFile& body) {
    static const std::map<std::string, int> kinds = {{"text-ansi", 0},       {"text", 1},
                                                     {"html-ansi", 2},       {"html", 3},
                                                     {"html-embed-ansi", 4}, {"html-embed", 5}};
    const size_t colon = text.find(':');
    if (colon == std::string::npos || colon + 1 == text.size())
        return false;
    const std::string kind = text.substr(0, colon);
    body.path = text.substr(colon + 1);
    const auto found = kinds.find(kind);
    if (found != kinds.end()) {
        body.kind = found->second;
        return true;
    }
    return ParseInt(kind, body.kind);
}

// "PATH" or "PATH=CONTENT-ID"; the content id defaults to the file name.
bool ParseInlineImage(const std::string& text, SendOptions::InlineImage& image) {
    const size_t equals = text.rfind('=');
    image.path = text.substr(0, equals);
    if (equals != std::string::npos) {
        image.contentId = text.substr(equals + 1);
    } else {
        const size_t slash = image.path.rfind('/');
        image.contentId = slash == std::string::npos ? image.path : image.path.substr(slash + 1);
    }
    return !image.path.empty();
}

int StandardInputReaders(const SendOptions& o) {
    int readers = 0;
    for (const auto* path : {&o.textFile, &o.htmlFile, &o.passwordFile, &o.tokenFile})
        readers += *path == "-";
    return readers;
}

// Options that contradict each other are usage errors rather than a silent choice.
bool CheckCombinations(const SendOptions& o, std::string& error) {
    const std::pair<bool, const char*> conflicts[] = {
        {o.password && o.passwordFile, "--password and --password-file exclude each other"},
        {o.token && o.tokenFile, "--token and --token-file exclude each other"},
        {o.text && o.textFile, "--text and --text-file exclude each other"},
        {o.html && o.htmlFile, "--html and --html-file exclude each other"},
        {StandardInputReaders(o) > 1, "only one option can read standard input (-)"},
        // An asynchronous send keeps no protocol trace, so the log would stay empty.
        {o.async && o.logFile, "--async writes no protocol log: leave out --log or --async"},
    };
    for (const auto& [conflict, message] : conflicts)
        if (conflict) {
            error = message;
            return false;
        }
    return true;
}

} // namespace

bool ParseOptions(int argc, char** argv, SendOptions& o, std::string& error) {
    using Handler = std::function<bool(const std::string&)>;
    // Options that take a value.
    const std::map<std::string, Handler> valued = {
        {"--library", [&](const std::string& v) { return o.library = v, true; }},
        {"--host", [&](const std::string& v) { return o.host = v, true; }},
        {"--port", [&](const std::string& v) { return ParseInt(v, o.port.emplace()); }},
        {"--user", [&](const std::string& v) { return o.user = v, true; }},
        {"--password", [&](const std::string& v) { return o.password = v, true; }},
        {"--password-file", [&](const std::string& v) { return o.passwordFile = v, true; }},
        {"--token", [&](const std::string& v) { return o.token = v, true; }},
        {"--token-file", [&](const std::string& v) { return o.tokenFile = v, true; }},
        {"--ca-file", [&](const std::string& v) { return o.caFile = v, true; }},
        {"--tls-version",
         [&](const std::string& v) { return ParseInt(v, o.tlsVersion.emplace()); }},
        {"--connect-timeout",
         [&](const std::string& v) { return ParseInt(v, o.connectTimeout.emplace()); }},
        {"--proxy",
         [&](const std::string& v) {
             return ParseHostPort(v, o.proxyHost.emplace(), o.proxyPort);
         }},
        {"--proxy-kind", [&](const std::string& v) { return ParseProxyKind(v, o.proxyKind); }},
        {"--proxy-user", [&](const std::string& v) { return o.proxyUser = v, true; }},
        {"--proxy-password", [&](const std::string& v) { return o.proxyPassword = v, true; }},
        {"--log", [&](const std::string& v) { return o.logFile = v, true; }},
        {"--from", [&](const std::string& v) { return ParseMailbox(v, o.from.emplace()); }},
        {"--to", [&](const std::string& v) { return ParseMailbox(v, o.to.emplace_back()); }},
        {"--cc", [&](const std::string& v) { return ParseMailbox(v, o.cc.emplace_back()); }},
        {"--bcc", [&](const std::string& v) { return ParseMailbox(v, o.bcc.emplace_back()); }},
        {"--subject", [&](const std::string& v) { return o.subject = v, true; }},
        {"--text", [&](const std::string& v) { return o.text = v, true; }},
        {"--html", [&](const std::string& v) { return o.html = v, true; }},
        {"--text-file", [&](const std::string& v) { return o.textFile = v, true; }},
        {"--html-file", [&](const std::string& v) { return o.htmlFile = v, true; }},
        {"--body-file",
         [&](const std::string& v) { return ParseBodyFile(v, o.bodyFiles.emplace_back()); }},
        {"--attach", [&](const std::string& v) { return o.attachments.push_back(v), true; }},
        {"--inline-image",
         [&](const std::string& v) { return ParseInlineImage(v, o.inlineImages.emplace_back()); }},
        {"--priority",
         [&](const std::string& v) { return ParsePriority(v, o.priority.emplace()); }},
        {"--charset", [&](const std::string& v) { return o.charset = v, true; }},
    };
    // Switches.
    const std::map<std::string, std::function<void()>> switches = {
        {"--help", [&] { o.help = true; }},
        {"-h", [&] { o.help = true; }},
        {"--version", [&] { o.version = true; }},
        {"--quiet", [&] { o.quiet = true; }},
        {"-q", [&] { o.quiet = true; }},
        {"--insecure", [&] { o.insecure = true; }},
        {"-k", [&] { o.insecure = true; }},
        {"--show-settings", [&] { o.showSettings = true; }},
        {"--async", [&] { o.async = true; }},
        {"--no-tls", [&] { o.useTls = false; }},
        {"--tls", [&] { o.useTls = true; }},
        {"--verify-peer", [&] { o.insecure = false; }}, // the default; kept for old scripts
        {"--verify-status", [&] { o.verifyStatus = true; }},
        {"--log-replace", [&] { o.logAppend = false; }},
    };

    for (int i = 1; i < argc; ++i) {
        std::string name = argv[i];
        std::string value;
        bool hasValue = false;
        const size_t equals = name.find('=');
        if (name.rfind("--", 0) == 0 && equals != std::string::npos) {
            value = name.substr(equals + 1);
            name = name.substr(0, equals);
            hasValue = true;
        }
        if (const auto sw = switches.find(name); sw != switches.end() && !hasValue) {
            sw->second();
            continue;
        }
        const auto handler = valued.find(name);
        if (handler == valued.end()) {
            error = "unknown option: " + name;
            return false;
        }
        if (!hasValue) {
            if (i + 1 >= argc) {
                error = "option " + name + " needs a value";
                return false;
            }
            value = argv[++i];
        }
        if (!handler->second(value)) {
            error = "invalid value for " + name + ": " + value;
            return false;
        }
    }
    return CheckCombinations(o, error);
}

std::string UsageText(const char* program) {
    return std::string("Usage: ") + program + " [OPTION]...\n" +
           R"(Send one e-mail over SMTP with the Larkmail library.

Connection:
  --host HOST               SMTP server host name
  --port PORT               SMTP server port
  --user USER               login user name
  --password PASSWORD       login password (visible to other users: prefer the next two)
  --password-file FILE      read the login password from the first line of FILE
  --token TOKEN             OAuth 2.0 bearer token, XOAUTH2 (visible to other users)
  --token-file FILE         read the bearer token from the first line of FILE
  --tls | --no-tls          require TLS for the whole session (default) or use none
  --tls-version N           0 default, 1 TLS 1.0, 2 TLS 1.1, 3 TLS 1.2, 4 TLS 1.3
  -k, --insecure            do not verify the server certificate and host name
  --ca-file FILE            trust the certificate authorities in FILE (PEM); checks stay on
  --verify-peer             verify the server certificate (the default)
  --verify-status           require the certificate status (OCSP stapling) check
  --connect-timeout SECS    connect time-out in seconds
  --proxy HOST:PORT         SOCKS proxy
  --proxy-kind KIND         socks4, socks4a, socks5 (default) or socks5h
  --proxy-user USER         proxy user name
  --proxy-password PASS     proxy password
  --log FILE                write the protocol log of the send to FILE
  --log-replace             replace the log file instead of appending to it

Message:
  --from "NAME <ADDR>"      sender; a bare address works too
  --to "NAME <ADDR>"        primary recipient (repeat for more)
  --cc "NAME <ADDR>"        copy recipient (repeat for more)
  --bcc ADDR                blind-copy recipient: envelope only (repeat for more)
  --subject TEXT            subject
  --text TEXT               plain-text body
  --text-file FILE          plain-text body from a UTF-8 file; - reads standard input
  --html HTML               HTML body
  --html-file FILE          HTML body from a UTF-8 file; - reads standard input
  --body-file KIND:PATH     load a body from a file; KIND is text, html, html-embed (UTF-8
                            files; html-embed also turns image references into inline
                            images), text-ansi, html-ansi, html-embed-ansi, or 0-5
  --attach PATH             attach a file (repeat for more)
  --inline-image PATH[=ID]  image for the HTML body, referenced as cid:ID (default ID: the
                            file name)
  --priority PRIORITY       normal (default), low, high, or a number
  --charset NAME            character set of headers and bodies (default UTF-8)

Other:
  --library PATH            the Larkmail library to load (default: beside this program)
  --async                   send on the client's worker thread and wait for the completion
                            (prints the result text too; no --log)
  -q, --quiet               no libcurl protocol lines on standard error, only the result
  --show-settings           print the client settings as the library reads them back
                            (secrets as ****)
  --version                 print the versions of this program and of libcurl
  -h, --help                show this help

Environment:
  LARKMAIL_PASSWORD         login password when no password option is given
  LARKMAIL_BEARER_TOKEN     bearer token when no token option is given
  LARKMAIL_CA_FILE          the library's CA file; --ca-file sets it
  LARKMAIL_LANGUAGE         language of the result texts
  LARKMAIL_RESPONSE_TIMEOUT seconds to wait for each answer of the server

With --user and no password from an option or the environment, the password is asked for
without echo when standard input is a terminal.

Prints the public result code. Exit status: 0 success, 1 the send failed, 2 usage error,
3 an input file cannot be read (nothing is sent), 4 the library cannot be loaded.
)";
}
