// Command-line options of larkmail-send: every client setting.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct SendOptions {
    std::string library;
    bool showSettings = false;
    bool help = false;

    // Client settings; unset ones keep the library's defaults.
    std::optional<std::string> host;
    std::optional<int> port;
    std::optional<std::string> user;
    std::optional<std::string> password;
    std::optional<std::string> token;
    std::optional<bool> useTls;
    std::optional<int> tlsVersion;
    std::optional<int> verifyPeer;
    std::optional<bool> verifyStatus;
    std::optional<int> connectTimeout;
    std::optional<std::string> proxyHost;
    int proxyPort = 0;
    int proxyKind = 2;
    std::string proxyUser;
    std::string proxyPassword;
    std::optional<std::string> logFile;
    bool logAppend = true;
};

// Parses argv into options. On a usage error returns false with a message in error.
bool ParseOptions(int argc, char** argv, SendOptions& options, std::string& error);

// The --help text.
std::string UsageText(const char* program);
