// The client as a host sees it: defaults, the facade's null rules, the proxy rules and the
// fixed order of the operation table.
#include "library_objects.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>
#include <string>

using namespace SMTPClientNS;
using testsupport::ClientPtr;
using testsupport::Library;
using testsupport::NewClient;
using testsupport::Utf8;

namespace {

std::string ProxyValue(ISmtpClient* client, int which) {
    WideChar buffer[PROXY_VALUE_BUFFER_SIZE];
    std::fill(std::begin(buffer), std::end(buffer), u'#');
    buffer[PROXY_VALUE_BUFFER_SIZE - 1] = 0;
    client->GetProxyValue(buffer, which);
    return Utf8(buffer);
}

TEST(Client, LoadsThroughItsExport) {
    ASSERT_TRUE(Library().ok()) << Library().error();
    ASSERT_NE(nullptr, Library().createSmtpClientFn());
    ClientPtr client = NewClient();
    ASSERT_NE(nullptr, client.get());
}

TEST(Client, NewClientHasTheDefaults) {
    ClientPtr client = NewClient();
    EXPECT_EQ(-1, client->GetPort());
    EXPECT_EQ(0, client->GetTlsVersion());
    EXPECT_TRUE(client->GetUseTls());
    EXPECT_EQ(0, client->GetVerifyPeer());
    EXPECT_FALSE(client->GetVerifyStatus());
    EXPECT_EQ(0, client->GetConnectTimeout());
    EXPECT_FALSE(client->IsProxyEnabled());
    EXPECT_EQ(SMTP_NO_SEND_YET, client->GetLastResult());
    EXPECT_EQ(nullptr, client->GetMimeMessage());
    EXPECT_EQ(nullptr, client->GetCallback());
    EXPECT_EQ("", ProxyValue(client.get(), PROXY_VALUE_HOST));
    EXPECT_EQ("-1", ProxyValue(client.get(), PROXY_VALUE_PORT));
    EXPECT_EQ("2", ProxyValue(client.get(), PROXY_VALUE_KIND));
    EXPECT_EQ("", ProxyValue(client.get(), PROXY_VALUE_USER));
    EXPECT_EQ("", ProxyValue(client.get(), PROXY_VALUE_PASSWORD));
    // String getters never return null, also before anything was set or sent.
    for (const WideChar* text :
         {client->GetUser(), client->GetPassword(), client->GetBearerToken(), client->GetHost(),
          client->GetSessionText(), client->GetLastSessionLine()}) {
        ASSERT_NE(nullptr, text);
        EXPECT_EQ(u'\0', text[0]);
    }
}

TEST(Client, SettersStoreWhatTheyAreGiven) {
    ClientPtr client = NewClient();
    client->SetHost(u"mail.example.org");
    client->SetPort(587);
    client->SetUser(u"ann");
    client->SetPassword(u"s\u00e9cret");
    client->SetBearerToken(u"tok");
    client->SetUseTls(false);
    client->SetTlsVersion(3);
    client->SetVerifyPeer(7);
    client->SetVerifyStatus(true);
    client->SetConnectTimeout(-4);
    client->SetProxyEnabled(true);
    IMimeMessage* message = reinterpret_cast<IMimeMessage*>(uintptr_t(0x1000));
    ISendCallback* callback = reinterpret_cast<ISendCallback*>(uintptr_t(0x2000));
    client->SetMimeMessage(message);
    client->SetCallback(callback);

    EXPECT_EQ("mail.example.org", Utf8(client->GetHost()));
    EXPECT_EQ(587, client->GetPort());
    EXPECT_EQ("ann", Utf8(client->GetUser()));
    EXPECT_EQ("s\xC3\xA9"
              "cret",
              Utf8(client->GetPassword()));
    EXPECT_EQ("tok", Utf8(client->GetBearerToken()));
    EXPECT_FALSE(client->GetUseTls());
    EXPECT_EQ(3, client->GetTlsVersion());
    EXPECT_EQ(7, client->GetVerifyPeer());
    EXPECT_TRUE(client->GetVerifyStatus());
    EXPECT_EQ(-4, client->GetConnectTimeout());
    EXPECT_TRUE(client->IsProxyEnabled());
    EXPECT_EQ(message, client->GetMimeMessage());
    EXPECT_EQ(callback, client->GetCallback());
}

TEST(Client, FacadeNullRules) {
    ClientPtr client = NewClient();
    client->SetUser(u"ann");
    client->SetPassword(u"pw");
    client->SetHost(u"host");
    client->SetBearerToken(u"token");
    client->SetUser(nullptr);
    client->SetPassword(nullptr);
    client->SetHost(nullptr);
    client->SetBearerToken(nullptr);
    EXPECT_EQ("ann", Utf8(client->GetUser()));
    EXPECT_EQ("pw", Utf8(client->GetPassword()));
    EXPECT_EQ("host", Utf8(client->GetHost()));
    EXPECT_EQ("", Utf8(client->GetBearerToken()));
    // An empty string is a value, not a null.
    client->SetHost(u"");
    EXPECT_EQ("", Utf8(client->GetHost()));
}

TEST(Client, SetProxyRules) {
    ClientPtr client = NewClient();
    EXPECT_EQ(1, client->SetProxy(u"proxy.local", 1080, PROXY_SOCKS4A, u"pu", u"pp"));
    EXPECT_TRUE(client->IsProxyEnabled());
    EXPECT_EQ("proxy.local", ProxyValue(client.get(), PROXY_VALUE_HOST));
    EXPECT_EQ("1080", ProxyValue(client.get(), PROXY_VALUE_PORT));
    EXPECT_EQ("1", ProxyValue(client.get(), PROXY_VALUE_KIND));
    EXPECT_EQ("pu", ProxyValue(client.get(), PROXY_VALUE_USER));
    EXPECT_EQ("pp", ProxyValue(client.get(), PROXY_VALUE_PASSWORD));

    // Port 0 disables the proxy and changes nothing else.
    EXPECT_EQ(0, client->SetProxy(u"other", 0, PROXY_SOCKS5, u"x", u"y"));
    EXPECT_FALSE(client->IsProxyEnabled());
    EXPECT_EQ("proxy.local", ProxyValue(client.get(), PROXY_VALUE_HOST));
    EXPECT_EQ("1080", ProxyValue(client.get(), PROXY_VALUE_PORT));
    EXPECT_EQ("1", ProxyValue(client.get(), PROXY_VALUE_KIND));
    EXPECT_EQ(0, client->SetProxy(nullptr, 1080, 0, nullptr, nullptr));
    EXPECT_EQ(0, client->SetProxy(u"", 1080, 0, nullptr, nullptr));
    EXPECT_EQ(0, client->SetProxy(u"h", -5, 0, nullptr, nullptr));

    // A user without a password keeps the stored credentials.
    EXPECT_EQ(1, client->SetProxy(u"socks.local", 1081, 9, u"newuser", u""));
    EXPECT_TRUE(client->IsProxyEnabled());
    EXPECT_EQ("socks.local", ProxyValue(client.get(), PROXY_VALUE_HOST));
    EXPECT_EQ("1081", ProxyValue(client.get(), PROXY_VALUE_PORT));
    EXPECT_EQ("9", ProxyValue(client.get(), PROXY_VALUE_KIND));
    EXPECT_EQ("pu", ProxyValue(client.get(), PROXY_VALUE_USER));
    EXPECT_EQ("pp", ProxyValue(client.get(), PROXY_VALUE_PASSWORD));
}

TEST(Client, ProxyValuesThatCannotBeReadBackWholeAreRefused) {
    ClientPtr client = NewClient();
    const std::u16string longest(255, u'h');
    EXPECT_EQ(1, client->SetProxy(longest.c_str(), 1080, PROXY_SOCKS5, nullptr, nullptr));
    EXPECT_EQ(255u, ProxyValue(client.get(), PROXY_VALUE_HOST).size());

    const std::u16string tooLong(256, u'x');
    EXPECT_EQ(0, client->SetProxy(tooLong.c_str(), 1080, PROXY_SOCKS5, nullptr, nullptr));
    EXPECT_FALSE(client->IsProxyEnabled());
    EXPECT_EQ(0, client->SetProxy(u"h", 1080, PROXY_SOCKS5, tooLong.c_str(), u"pw"));
    EXPECT_EQ(std::string(255, 'h'), ProxyValue(client.get(), PROXY_VALUE_HOST));
}

TEST(Client, ProxyValueWithUnknownSelectorLeavesTheBuffer) {
    ClientPtr client = NewClient();
    for (int which : {5, 6, -1, 1000}) {
        WideChar buffer[PROXY_VALUE_BUFFER_SIZE];
        std::fill(std::begin(buffer), std::end(buffer), u'#');
        client->GetProxyValue(buffer, which);
        EXPECT_TRUE(
            std::all_of(std::begin(buffer), std::end(buffer), [](WideChar c) { return c == u'#'; }))
            << "selector " << which;
    }
    client->GetProxyValue(nullptr, PROXY_VALUE_HOST); // must not crash
}

TEST(Client, SetLogFileIgnoresNull) {
    ClientPtr client = NewClient();
    client->SetLogFile(nullptr, false);
    client->SetLogFile(u"/nonexistent/dir/log.txt", false);
    EXPECT_EQ(SMTP_NO_SEND_YET, client->GetLastResult());
}

TEST(Client, TwoClientsAreIndependent) {
    // Each facade is released once; the sanitizer build's leak check proves that the last
    // Release also destroys the client state behind it.
    ClientPtr a = NewClient();
    ClientPtr b = NewClient();
    ASSERT_NE(a.get(), b.get());
    a->SetHost(u"a");
    b->SetHost(u"b");
    EXPECT_EQ("a", Utf8(a->GetHost()));
    EXPECT_EQ("b", Utf8(b->GetHost()));
}

} // namespace
