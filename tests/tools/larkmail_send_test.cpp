// larkmail-send end to end: its exit status and what reached the server, one run per row.
#include "child_process.h"
#include "smtp_peer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using testsupport::RunProcess;
using testsupport::SmtpPeer;

TEST(LarkmailSend, ExitStatusAndDeliveryPerOutcome) {
    testsupport::SmtpPeerOptions rejecting;
    rejecting.rejectRecipients = {"nobody@example.org"};
    SmtpPeer peer(rejecting);
    int closedPort;
    {
        SmtpPeer closed;
        closedPort = closed.port();
    }
    const std::string port = std::to_string(peer.port());
    const std::vector<std::string> mail = {"--from", "ann@example.org", "--subject",
                                           "hi",     "--text",          "hello"};

    struct Case {
        const char* name;
        std::vector<std::string> arguments;
        int exitCode;
        size_t delivered; // messages at the server after this row
        std::string output;
    };
    const Case cases[] = {
        {"success", {"--port", port, "--to", "bob@example.org"}, 0, 1, "result: 1\n"},
        {"unknown option", {"--port", port, "--to", "bob@example.org", "--bogus"}, 2, 1, ""},
        {"rejected recipient", {"--port", port, "--to", "nobody@example.org"}, 1, 1, "result: -"},
        {"refused connection",
         {"--port", std::to_string(closedPort), "--to", "bob@example.org"},
         1,
         1,
         "result: -5\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {LARKMAIL_SEND_PATH,  "--host", "127.0.0.1", "--no-tls",
                                         "--connect-timeout", "5"};
        argv.insert(argv.end(), mail.begin(), mail.end());
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const testsupport::ProcessResult run = RunProcess(argv, true);
        EXPECT_EQ(c.exitCode, run.exitCode) << c.name;
        EXPECT_EQ(0u, run.output.find(c.output)) << c.name << ": " << run.output;
        EXPECT_EQ(c.delivered, peer.messages().size()) << c.name;
    }
}

} // namespace
