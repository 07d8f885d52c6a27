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
    bool version = false;
    bool quiet = false; // no libcurl lines on standard error, only the result and failures

    // Client settings; unset ones keep the library's defaults.
    std::optional<std::string> host;
    std::optional<int> port;
    std::optional<std::string> user;
    // Secrets: the argument forms are visible to every user; files and the environment are not.
    std::optional<std::string> password;
    std::optional<std::string> passwordFile;
    std::optional<std::string> token;
    std::optional<std::string> tokenFile;
    std::optional<bool> useTls;
    std::optional<int> tlsVersion;
    bool insecure = false;             // certificates are verified unless this is set
    std::optional<std::string> caFile; // a private CA to trust, checks stay on
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
    std::optional<std::string> textFile; // "-": standard input
    std::optional<std::string> htmlFile;
    std::vector<BodyFile> bodyFiles;
    std::vector<std::string> attachments;
    std::vector<InlineImage> inlineImages;
    std::optional<int> priority;
    std::optional<std::string> charset;
};

// Parses argv into options and checks that they go together. On a usage error returns false
// with a message in error.
bool ParseOptions(int argc, char** argv, SendOptions& options, std::string& error);

// The --help text.
std::string UsageText(const char* program);
