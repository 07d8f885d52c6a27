#include "options.h"

#include <cstdlib>
#include <cstring>
#include <functional>
#include <map>

namespace {

bool ParseInt(const std::string& text, int& value) {
    if (text.empty())
        return false;
    char* end = nullptr;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (*end != '\0' || parsed < -2147483648L || parsed > 2147483647L)
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
        {"--token", [&](const std::string& v) { return o.token = v, true; }},
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
    };
    // Switches.
    const std::map<std::string, std::function<void()>> switches = {
        {"--help", [&] { o.help = true; }},
        {"-h", [&] { o.help = true; }},
        {"--show-settings", [&] { o.showSettings = true; }},
        {"--no-tls", [&] { o.useTls = false; }},
        {"--tls", [&] { o.useTls = true; }},
        {"--verify-peer", [&] { o.verifyPeer = 1; }},
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
    return true;
}

std::string UsageText(const char* program) {
    return std::string("Usage: ") + program + " [OPTION]...\n" +
           R"(Send one e-mail over SMTP with the Larkmail library.

Connection:
  --host HOST               SMTP server host name
  --port PORT               SMTP server port
  --user USER               login user name
  --password PASSWORD       login password
  --token TOKEN             OAuth 2.0 bearer token (XOAUTH2)
  --tls | --no-tls          require TLS for the whole session (default) or use none
  --tls-version N           0 default, 1 TLS 1.0, 2 TLS 1.1, 3 TLS 1.2, 4 TLS 1.3
  --verify-peer             verify the server certificate
  --verify-status           require the certificate status (OCSP stapling) check
  --connect-timeout SECS    connect time-out in seconds
  --proxy HOST:PORT         SOCKS proxy
  --proxy-kind KIND         socks4, socks4a, socks5 (default) or socks5h
  --proxy-user USER         proxy user name
  --proxy-password PASS     proxy password
  --log FILE                write the protocol log of the send to FILE
  --log-replace             replace the log file instead of appending to it

Other:
  --library PATH            the Larkmail library to load (default: beside this program)
  --show-settings           print the client settings as the library reads them back
  -h, --help                show this help

Prints the public result code; exits with 0 on success and 1 on failure, 2 on a usage error.
)";
}
