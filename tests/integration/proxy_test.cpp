// Sends through real SOCKS proxies: SOCKS5 with the host name resolved by the proxy, SOCKS4 and
// a proxy that is not there (SOCKS5 with and without a login: send_scenarios.json).
#include "library_objects.h"
#include "smtp_peer.h"
#include "socks_proxy.h"

#include <gtest/gtest.h>

#include <memory>

using namespace SMTPClientNS;
using testsupport::Library;
using testsupport::SmtpPeer;
using testsupport::SocksProxy;

namespace {

using Sender = testsupport::LocalSender;

TEST(Proxy, HostNameResolvedByTheProxy) {
    SmtpPeer peer;
    SocksProxy proxy(SocksProxy::Kind::Socks5);
    const std::string target = ": connected to localhost:" + std::to_string(peer.port());
    Sender sender(u"localhost", peer.port());
    sender.client->SetProxy(u"127.0.0.1", proxy.port(), PROXY_SOCKS5_HOSTNAME, nullptr, nullptr);
    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
    EXPECT_TRUE(peer.waitForMessages(1));
    std::string line;
    ASSERT_TRUE(proxy.nextLogLine(line, 5000));
    EXPECT_NE(std::string::npos, line.find(target)) << line;

    // Plain SOCKS5 resolves the name itself and asks the proxy for the address.
    sender.client->SetProxy(u"127.0.0.1", proxy.port(), PROXY_SOCKS5, nullptr, nullptr);
    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
    ASSERT_TRUE(proxy.nextLogLine(line, 5000));
    EXPECT_EQ(std::string::npos, line.find(target)) << line;
}

TEST(Proxy, Socks4) {
    SmtpPeer peer;
    SocksProxy proxy(SocksProxy::Kind::Socks4);
    Sender sender(u"127.0.0.1", peer.port());
    sender.client->SetProxy(u"127.0.0.1", proxy.port(), PROXY_SOCKS4, nullptr, nullptr);
    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
    EXPECT_TRUE(peer.waitForMessages(1));
}

TEST(Proxy, ProxyThatIsNotThereFailsTheSend) {
    SmtpPeer peer;
    Sender sender(u"127.0.0.1", peer.port());
    sender.client->SetProxy(u"127.0.0.1", testsupport::FreeLoopbackPort(), PROXY_SOCKS5, nullptr,
                            nullptr);
    EXPECT_EQ(SMTP_ERR_CONNECT, sender.client->Send());
    // Switching the proxy off sends directly.
    sender.client->SetProxyEnabled(false);
    EXPECT_EQ(SMTP_SUCCESS, sender.client->Send());
}

} // namespace
