// The send log of large and authenticated sends: the whole dialogue is recorded (also the
// part kept in the trace's temporary file), and credentials are not.
#include "library_objects.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <cstdint>
#include <cstring>
#include <regex>
#include <string_view>
#include <vector>

using namespace SMTPClientNS;
using testsupport::ReadFileBytes;
using testsupport::SmtpPeer;
using testsupport::Utf16;

namespace {

// Open temporary trace files of this process (they have no name left, but a descriptor).
int OpenSpillFiles() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.string().find("larkmail-trace-") != std::string::npos)
            ++count;
    }
    return count;
}

std::vector<std::string_view> Split(std::string_view text, std::string_view end) {
    std::vector<std::string_view> lines;
    size_t start = 0;
    for (size_t at; (at = text.find(end, start)) != std::string::npos; start = at + end.size())
        lines.push_back(text.substr(start, at - start));
    if (start < text.size())
        lines.push_back(text.substr(start));
    return lines;
}

// Checks that the "C: " lines after the server's go-ahead for the data carry every line of data in
// order. The trace shows each block that libcurl sent as its own record, so a line may come in
// several pieces; a CR LF split between two blocks shows as "." at the end of one piece and at the
// start of the next. Returns what went wrong, or an empty text.
std::string MissingLines(const std::string& log, const std::string& data) {
    std::vector<std::string_view> pieces;
    bool inData = false;
    for (const std::string_view line : Split(log, "\n")) {
        if (inData && line.rfind("C: ", 0) == 0)
            pieces.push_back(line.substr(3));
        inData = inData || line.rfind("S: 354 ", 0) == 0;
    }
    const std::vector<std::string_view> expected = Split(data, "\r\n");
    size_t next = 0;
    bool splitLineEnd = false;
    for (size_t k = 0; k < expected.size(); ++k) {
        // Most lines come whole, in one piece.
        if (!splitLineEnd && next < pieces.size() && pieces[next] == expected[k]) {
            ++next;
            continue;
        }
        const std::string want(expected[k]);
        std::string got;
        for (;;) {
            if (next == pieces.size())
                return "log ends before line " + std::to_string(k) + ": " + want;
            std::string_view piece = pieces[next++];
            if (splitLineEnd) {
                if (piece.empty() || piece[0] != '.')
                    return "split line end not continued before line " + std::to_string(k);
                piece.remove_prefix(1);
                splitLineEnd = false;
            }
            got += piece;
            if (got == want)
                break;
            if (got == want + ".") {
                splitLineEnd = true;
                break;
            }
            if (want.compare(0, got.size(), got) != 0)
                return "line " + std::to_string(k) + " is \"" + want + "\", log has \"" + got +
                       "\"";
        }
    }
    return std::string();
}

TEST(LargeSendLog, HoldsTheWholeMessageAndIsWrittenAgainForANewPath) {
    testsupport::TempDir folder;
    // Random bytes (xorshift, eight at a time: quick also in a sanitizer build), so that no
    // two lines of the encoded attachment are alike.
    std::string attachment(30 * 1024 * 1024, '\0');
    uint64_t state = 0x9E3779B97F4A7C15ull;
    for (size_t at = 0; at + 8 <= attachment.size(); at += 8) {
        state ^= state << 13;
        state ^= state >> 7;
        state ^= state << 17;
        std::memcpy(&attachment[at], &state, 8);
    }
    const std::string attachmentPath = folder.write("large.bin", attachment);
    attachment.clear();
    attachment.shrink_to_fit();

    testsupport::SmtpPeerOptions options;
    options.maxMessageSize = 0; // the attachment grows by a third in base64
    SmtpPeer peer(options);
    const std::string first = folder.file("first.log");
    const std::string second = folder.file("second.log");
    {
        testsupport::LocalSender sender(u"127.0.0.1", peer.port(), u"a body\r\nof two lines");
        ASSERT_EQ(1, sender.message->AddAttachment(Utf16(attachmentPath).c_str()));
        sender.client->SetLogFile(Utf16(first).c_str(), false);
        ASSERT_EQ(SMTP_SUCCESS, sender.send());
        ASSERT_TRUE(peer.waitForMessages(1));
        EXPECT_EQ(1, OpenSpillFiles());

        const std::string log = ReadFileBytes(first);
        EXPECT_EQ("", MissingLines(log, peer.messages().back().data));

        // The same records again, now followed by a second summary.
        sender.client->SetLogFile(Utf16(second).c_str(), false);
        const std::string again = ReadFileBytes(second);
        ASSERT_GT(again.size(), log.size());
        EXPECT_TRUE(again.compare(0, log.size(), log) == 0);
        EXPECT_TRUE(std::regex_match(
            again.substr(log.size()),
            std::regex("Email sent successfully!\nEnd Connnect: [-0-9: ]+\n\n={82}\n\n")));
    }
    EXPECT_EQ(0, OpenSpillFiles());
}

TEST(LargeSendLog, CredentialsAreMaskedInTheLog) {
    const struct {
        const char* name;
        bool token;
        std::string exchange; // as the log shows it
    } cases[] = {
        {"user and password", false, "C: AUTH PLAIN\nS: 334 \nC: ****\nS: 235 "},
        {"bearer token", true, "C: AUTH XOAUTH2\nS: 334 \nC: ****\nS: 235 "},
    };
    for (const auto& c : cases) {
        testsupport::TempDir folder;
        testsupport::SmtpPeerOptions options;
        options.authWithoutTls = true;
        if (c.token) {
            options.xoauth2Token = "secret-bearer-token";
        } else {
            options.user = "ann";
            options.password = "secret-password";
        }
        SmtpPeer peer(options);
        testsupport::LocalSender sender(u"127.0.0.1", peer.port());
        if (c.token) {
            sender.client->SetUser(u"ann");
            sender.client->SetBearerToken(u"secret-bearer-token");
        } else {
            sender.client->SetUser(u"ann");
            sender.client->SetPassword(u"secret-password");
        }
        const std::string path = folder.file("auth.log");
        sender.client->SetLogFile(Utf16(path).c_str(), false);
        EXPECT_EQ(SMTP_SUCCESS, sender.send()) << c.name;
        const std::string log = ReadFileBytes(path);
        EXPECT_NE(std::string::npos, log.find(c.exchange)) << c.name << "\n" << log;
        EXPECT_EQ(std::string::npos, log.find("secret")) << c.name;
        EXPECT_NE(std::string::npos, log.find("C: MAIL FROM:<sender@example.org>")) << c.name;
    }
}

} // namespace
