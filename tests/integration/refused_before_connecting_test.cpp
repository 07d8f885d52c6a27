// What a send refuses before it connects: a server or proxy host that is not a host name, and
// attachment or inline image files that are not regular files. The server port is closed, so
// a send that got as far as connecting would fail with SMTP_ERR_CONNECT instead.
#include "library_objects.h"
#include "socks_proxy.h"
#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdio>
#include <string>

using namespace SMTPClientNS;
using testsupport::Library;

namespace {

TEST(RefusedBeforeConnecting, HostsThatAreNotHostNames) {
    const struct {
        const char16_t* host;
        int expected;
    } cases[] = {
        {u"127.0.0.1/EHLO", SMTP_ERR_BAD_HOST},
        {u"user@127.0.0.1", SMTP_ERR_BAD_HOST},
        {u"127.0.0.1:25", SMTP_ERR_BAD_HOST},
        {u"smtp://127.0.0.1", SMTP_ERR_BAD_HOST},
        {u"127.0.0.1?x", SMTP_ERR_BAD_HOST},
        {u"127.0.0.1#x", SMTP_ERR_BAD_HOST},
        {u"local host", SMTP_ERR_BAD_HOST},
        {u"127.0.0.1\r\nQUIT", SMTP_ERR_BAD_HOST},
        {u"a..b", SMTP_ERR_BAD_HOST},
        {u"[::1", SMTP_ERR_BAD_HOST},
        {u"[::1]:25", SMTP_ERR_BAD_HOST},
        {u"[fe80::1%eth0]", SMTP_ERR_BAD_HOST},
        // Host names, IPv4 and bracketed IPv6 addresses go on to connect.
        {u"127.0.0.1", SMTP_ERR_CONNECT},
        {u"localhost", SMTP_ERR_CONNECT},
        {u"[::1]", SMTP_ERR_CONNECT},
        {u"no-such_host.invalid", SMTP_ERR_RESOLVE_HOST},
    };
    const int closedPort = testsupport::FreeLoopbackPort();
    for (const auto& c : cases) {
        SCOPED_TRACE(testsupport::Utf8(c.host));
        testsupport::LocalSender sender(c.host, closedPort);
        EXPECT_EQ(c.expected, sender.send());
    }

    // The proxy host is pasted into libcurl's proxy text the same way.
    for (const char16_t* proxy : {u"http://127.0.0.1", u"user:pw@127.0.0.1", u"127.0.0.1/x"}) {
        SCOPED_TRACE(testsupport::Utf8(proxy));
        testsupport::LocalSender sender(u"127.0.0.1", closedPort);
        ASSERT_EQ(1, sender.client->SetProxy(proxy, closedPort, PROXY_SOCKS5, nullptr, nullptr));
        EXPECT_EQ(SMTP_ERR_RESOLVE_PROXY, sender.send());
    }
}

TEST(RefusedBeforeConnecting, FilesThatAreNotRegularFiles) {
    testsupport::TempDir dir;
    const std::string folder = dir.file("folder");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    const std::string fifo = dir.file("fifo.png");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string removed = dir.write("removed.txt", "gone before the send");
    const std::string regular = dir.write("regular.png", "PNG");
    enum Use { Attachment, InlineImage, BodyFile };
    const struct {
        const char* what;
        std::string path;
        Use use;
    } cases[] = {
        {"attached folder", folder, Attachment},
        {"attached FIFO", fifo, Attachment},
        {"attached device", "/dev/zero", Attachment},
        {"attachment removed after adding", removed, Attachment},
        {"inline folder", folder, InlineImage},
        {"inline FIFO", fifo, InlineImage},
        {"inline device", "/dev/zero", InlineImage},
        {"body from a folder", folder, BodyFile},
        {"body from a FIFO", fifo, BodyFile},
        {"body from a device", "/dev/zero", BodyFile},
    };
    const int closedPort = testsupport::FreeLoopbackPort();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        testsupport::LocalSender sender(u"127.0.0.1", closedPort);
        IMimeMessage* message = sender.message.get();
        const std::u16string path = testsupport::Utf16(c.path);
        message->SetHtmlBody(u"<p>kept</p>");
        ASSERT_EQ(1, message->AddAttachment(testsupport::Utf16(regular).c_str()));
        switch (c.use) {
        case Attachment:
            ASSERT_EQ(2, message->AddAttachment(path.c_str()));
            if (c.path == removed)
                std::remove(removed.c_str());
            break;
        case InlineImage:
            ASSERT_EQ(1, message->AddInlineImage(path.c_str(), u"image"));
            break;
        case BodyFile:
            // Nothing to read: the body stays as it was and the send goes on.
            message->LoadBodyFromFile(path.c_str(), BODY_HTML_UTF8);
            EXPECT_EQ(u"<p>kept</p>", std::u16string(message->GetHtmlBody()));
            EXPECT_EQ(SMTP_ERR_CONNECT, sender.send());
            continue;
        }
        EXPECT_EQ(SMTP_ERR_READ_FILE, sender.send());
        EXPECT_EQ(u"<p>kept</p>", std::u16string(message->GetHtmlBody()));
        EXPECT_EQ(c.use == Attachment ? 2 : 1, message->GetAttachmentCount());
        EXPECT_EQ(c.use == InlineImage ? 1 : 0, message->GetInlineImageCount());
    }
}

} // namespace
