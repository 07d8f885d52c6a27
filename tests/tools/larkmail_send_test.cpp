// larkmail-send end to end: its exit status and what reached the server, one run per row.
#include "child_process.h"
#include "smtp_peer.h"
#include "temp_dir.h"
#include "tool_process.h"

#include <gtest/gtest.h>

#include <regex>
#include <set>
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
        {"rejected recipient",
         {"--port", port, "--to", "nobody@example.org"},
         1,
         1,
         "result: -13\nserver: 550 5.1.1 <nobody@example.org>: Recipient address rejected\n"},
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

// What a user meets beyond a plain send: exit statuses per outcome, bodies from files and
// standard input, input that cannot be read, refused combinations, secrets from files and the
// environment, certificate checks and the quiet mode. One run per row, each against the peer
// it names; "sent" is the number of messages that peer received during the run.
TEST(LarkmailSend, ExitStatusInputsSecretsAndCertificates) {
    testsupport::SmtpPeerOptions plainOptions;
    plainOptions.rejectRecipients = {"nobody@example.org"};
    SmtpPeer plain(plainOptions);
    testsupport::SmtpPeerOptions authOptions;
    authOptions.user = "ann";
    authOptions.password = "s3cret pass";
    authOptions.authWithoutTls = true;
    SmtpPeer auth(authOptions);
    const testsupport::TestCertificateFiles& certificate = testsupport::TestCertificate();
    testsupport::SmtpPeerOptions tlsOptions;
    tlsOptions.certFile = certificate.certFile;
    tlsOptions.keyFile = certificate.keyFile;
    tlsOptions.requireTls = true;
    SmtpPeer tls(tlsOptions);

    testsupport::TempDir files;
    const std::string html = files.write("body.html", "<p>from a file</p>\n");
    const std::string passwordFile = files.write("password", "s3cret pass\nnot this line\n");
    const std::string wrongPassword = files.write("wrong", "guess\n");
    const std::string tokenFile = files.write("token", "tok-from-file\n");
    const std::string missing = files.file("missing.txt");
    const std::string log = files.file("async.log");

    enum Peer { kPlain, kAuth, kTls };
    struct Case {
        const char* name;
        Peer peer;
        std::vector<std::string> arguments;
        int exitCode;
        size_t sent;
        std::string outHas = {};  // standard output contains this
        std::string errHas = {};  // standard error contains this ("" checks nothing)
        std::string dataHas = {}; // the received message contains this
        std::string input = {};   // standard input
        std::vector<std::string> environment = {};
        std::string notShown = {}; // appears in neither output
    };
    // clang-format off
    const Case cases[] = {
        {"text body from standard input", kPlain, {"--text-file", "-"}, 0, 1, "result: 1\n", "",
         "piped body line", "piped body line\n"},
        {"html body from a file", kPlain, {"--html-file", html}, 0, 1, "result: 1\n", "",
         "<p>from a file</p>"},
        {"unreadable body file sends nothing", kPlain, {"--text-file", missing}, 3, 0, "",
         "cannot read " + missing},
        {"folder as library body file", kPlain, {"--body-file", "text:" + files.path()}, 3, 0,
         "", "is a folder"},
        {"missing attachment", kPlain, {"--text", "x", "--attach", missing}, 3, 0, "",
         "cannot read " + missing},
        {"unknown option", kPlain, {"--bogus"}, 2, 0, "", "unknown option: --bogus"},
        {"async with a log is refused", kPlain, {"--async", "--log", log}, 2, 0, "", "--async"},
        {"two readers of standard input", kPlain, {"--text-file", "-", "--html-file", "-"}, 2, 0,
         "", "standard input"},
        {"invalid address", kPlain, {"--cc", "a b@example.org"}, 2, 0, "", "a b@example.org"},
        {"library that cannot be loaded", kPlain, {"--library", missing}, 4, 0, "", missing},
        {"rejected recipient", kPlain, {"--to", "nobody@example.org"}, 1, 0, "result: -"},
        {"libcurl lines on standard error", kPlain, {"--text", "x"}, 0, 1, "result: 1\n",
         "Connected to"},
        {"quiet", kPlain, {"--quiet", "--text", "x"}, 0, 1, "result: 1\n", "", "", "", {},
         "Connected to"},
        {"version", kPlain, {"--version"}, 0, 0, "libcurl/"},
        {"password from a file, first line", kAuth,
         {"--user", "ann", "--password-file", passwordFile}, 0, 1, "result: 1\n", "", "", "", {},
         "visible to other users"},
        {"password from the environment", kAuth, {"--user", "ann"}, 0, 1, "result: 1\n", "", "",
         "", {"LARKMAIL_PASSWORD=s3cret pass"}, "visible to other users"},
        {"password file wins over the environment", kAuth,
         {"--user", "ann", "--password-file", wrongPassword}, 1, 0, "result: -", "", "", "",
         {"LARKMAIL_PASSWORD=s3cret pass"}},
        {"password argument works and warns", kAuth, {"--user", "ann", "--password",
         "s3cret pass"}, 0, 1, "result: 1\n", "visible to other users"},
        {"unreadable password file", kAuth, {"--user", "ann", "--password-file", missing}, 3, 0,
         "", "cannot read " + missing},
        {"settings mask the secrets", kPlain,
         {"--show-settings", "--password", "s3cret pass", "--token-file", tokenFile, "--proxy",
          "127.0.0.1:1080", "--proxy-user", "p", "--proxy-password", "proxy-secret"},
         0, 0, "password:        ****\n", "", "", "", {}, "s3cret"},
        {"settings show a token from the environment", kPlain, {"--show-settings"}, 0, 0,
         "bearer token:    ****\n", "", "", "", {"LARKMAIL_BEARER_TOKEN=env-token"}, "env-token"},
        {"tokens in files stay hidden too", kPlain, {"--show-settings", "--token-file",
         tokenFile}, 0, 0, "verify peer:     1\n", "", "", "", {}, "tok-from-file"},
        {"private CA trusted with checks on", kTls, {"--ca-file", certificate.certFile}, 0, 1,
         "result: 1\n"},
        {"private CA through the environment", kTls, {}, 0, 1, "result: 1\n", "", "", "",
         {"LARKMAIL_CA_FILE=" + certificate.certFile}},
        {"unknown CA fails verification", kTls, {}, 1, 0, "result: -"},
        {"insecure skips verification", kTls, {"--insecure"}, 0, 1, "result: 1\n"},
        {"unreadable CA file", kTls, {"--ca-file", missing}, 3, 0, "", "cannot read " + missing},
    };
    // clang-format on
    SmtpPeer* peers[] = {&plain, &auth, &tls};
    for (const Case& c : cases) {
        SmtpPeer& peer = *peers[c.peer];
        std::vector<std::string> argv = {LARKMAIL_SEND_PATH,
                                         "--host",
                                         "127.0.0.1",
                                         "--port",
                                         std::to_string(peer.port()),
                                         "--connect-timeout",
                                         "5",
                                         "--from",
                                         "ann@example.org",
                                         "--to",
                                         "bob@example.org",
                                         "--subject",
                                         "hi"};
        if (c.peer != kTls)
            argv.push_back("--no-tls");
        argv.insert(argv.end(), c.arguments.begin(), c.arguments.end());
        const size_t before = peer.messages().size();
        const testtools::ToolRun run = testtools::RunTool(argv, c.input, c.environment);
        const std::string context = std::string(c.name) + "\nout: " + run.out + "\nerr: " + run.err;
        EXPECT_EQ(c.exitCode, run.exitCode) << context;
        EXPECT_NE(std::string::npos, run.out.find(c.outHas)) << context;
        EXPECT_NE(std::string::npos, run.err.find(c.errHas)) << context;
        if (!c.notShown.empty()) {
            EXPECT_EQ(std::string::npos, run.out.find(c.notShown)) << context;
            EXPECT_EQ(std::string::npos, run.err.find(c.notShown)) << context;
        }
        const std::vector<testsupport::StoredMessage> received = peer.messages();
        ASSERT_EQ(before + c.sent, received.size()) << context;
        if (c.sent) {
            EXPECT_NE(std::string::npos, received.back().data.find(c.dataHas)) << context;
            EXPECT_EQ(c.peer == kTls, received.back().tls) << context;
            if (c.peer == kAuth) {
                EXPECT_EQ("ann", received.back().authUser) << context;
            }
        }
    }
}

// With a user and no password from anywhere, a terminal on standard input is asked for it;
// what is typed is not shown and logs in.
TEST(LarkmailSend, AsksForThePasswordWithoutEcho) {
    testsupport::SmtpPeerOptions authOptions;
    authOptions.user = "ann";
    authOptions.password = "typed secret";
    authOptions.authWithoutTls = true;
    SmtpPeer auth(authOptions);
    const testtools::ToolRun run = testtools::RunToolOnTerminal(
        {LARKMAIL_SEND_PATH, "--host", "127.0.0.1", "--port", std::to_string(auth.port()),
         "--no-tls", "--quiet", "--connect-timeout", "5", "--user", "ann", "--from",
         "ann@example.org", "--to", "bob@example.org", "--text", "x"},
        "Password: ", "typed secret\n");
    EXPECT_EQ(0, run.exitCode) << run.out;
    EXPECT_NE(std::string::npos, run.out.find("result: 1")) << run.out;
    EXPECT_EQ(std::string::npos, run.out.find("typed secret")) << run.out;
    const std::vector<testsupport::StoredMessage> received = auth.messages();
    ASSERT_EQ(1u, received.size());
    EXPECT_EQ("ann", received[0].authUser);
}

// The manual page documents every option of --help and no other, and groff reads it without
// a warning.
TEST(LarkmailSend, ManualPageMatchesHelp) {
    const std::string help = testtools::RunTool({LARKMAIL_SEND_PATH, "--help"}).out;
    std::string manual = testsupport::ReadFileBytes(LARKMAIL_SEND_MANUAL);
    ASSERT_FALSE(manual.empty());
    // Options are written "\-\-name" in the page's source.
    manual = std::regex_replace(manual, std::regex(R"(\\-)"), "-");
    const auto options = [](const std::string& text) {
        std::set<std::string> found;
        const std::regex option(R"((^|[\s,|])(--?[a-z][a-z0-9-]*))");
        for (std::sregex_iterator it(text.begin(), text.end(), option), end; it != end; ++it)
            found.insert((*it)[2]);
        return found;
    };
    const std::set<std::string> inHelp = options(help), inManual = options(manual);
    EXPECT_GT(inHelp.size(), 40u);
    for (const std::string& option : inHelp)
        EXPECT_TRUE(inManual.count(option)) << option << " is missing from the manual page";
    for (const std::string& option : inManual)
        EXPECT_TRUE(inHelp.count(option)) << option << " is in the manual page but not in --help";

    const testtools::ToolRun lint =
        testtools::RunTool({"/usr/bin/groff", "-man", "-ww", "-z", LARKMAIL_SEND_MANUAL});
    EXPECT_EQ(0, lint.exitCode);
    EXPECT_EQ("", lint.err);
}

} // namespace
