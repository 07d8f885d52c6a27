// Command-line options of larkmail-send: every client setting and message field.
#pragma once

#include <optional>
#include <string>
#include <vector>

struct SendOptions {
    std::string library;
    bool showSettings = false;
    bool async = false;
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

    // Message fields.
    struct Mailbox {
        std::string address;
        std::string name;
    };
    struct BodyFile {
        int kind;
        std::string path;
    };
    struct InlineImage {
        std::string path;
        std::string contentId;
    };
    std::optional<Mailbox> from;
    std::vector<Mailbox> to, cc, bcc;
    std::optional<std::string> subject;
    std::optional<std::string> text;
    std::optional<std::string> html;
    std::vector<BodyFile> bodyFiles;
    std::vector<std::string> attachments;
    std::vector<InlineImage> inlineImages;
    std::optional<int> priority;
    std::optional<std::string> charset;
};

// Parses argv into options. On a usage error returns false with a message in error.
bool ParseOptions(int argc, char** argv, SendOptions& options, std::string& error);

// The --help text.
std::string UsageText(const char* program);
