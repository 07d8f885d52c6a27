// Credentials in the client's authentication lines never reach the trace; everything else
// is recorded as sent.
#include "log/send_log.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace SMTPClientNS;

namespace {

struct Event {
    curl_infotype type;
    std::string data;
};

const curl_infotype kOut = CURLINFO_HEADER_OUT;
const curl_infotype kIn = CURLINFO_HEADER_IN;

// The trace of a dialogue, records concatenated.
std::string TraceOf(const std::vector<Event>& events) {
    SendTrace trace;
    TraceBinding bound(trace);
    LineList messages, records;
    char mode = 1;
    for (const Event& event : events) {
        std::string data = event.data;
        OnCurlDebug(nullptr, event.type, &data[0], data.size(), &mode);
    }
    CollectLogRecords(messages, records);
    std::string text;
    for (const std::string& record : records)
        text += record;
    return text;
}

TEST(CredentialMask, AuthenticationSecretsAreMasked) {
    const std::string token(300, 'T'); // longer than a trace line
    const struct {
        const char* name;
        std::vector<Event> events;
        std::string expected;
    } cases[] = {
        {"plain, initial response",
         {{kOut, "AUTH PLAIN AGFubgBzZWNyZXQ=\r\n"}, {kIn, "235 2.7.0 ok\r\n"}},
         "C: AUTH PLAIN ****\nS: 235 2.7.0 ok\n"},
        {"plain, response on the next line",
         {{kOut, "AUTH PLAIN\r\n"},
          {kIn, "334 \r\n"},
          {kOut, "AGFubgBzZWNyZXQ=\r\n"},
          {kIn, "235 ok\r\n"},
          {kOut, "MAIL FROM:<ann@example.org>\r\n"}},
         "C: AUTH PLAIN\nS: 334 \nC: ****\nS: 235 ok\nC: MAIL FROM:<ann@example.org>\n"},
        {"login, user as initial response",
         {{kOut, "AUTH LOGIN YW5u\r\n"},
          {kIn, "334 UGFzc3dvcmQ6\r\n"},
          {kOut, "c2VjcmV0\r\n"},
          {kIn, "235 ok\r\n"}},
         "C: AUTH LOGIN ****\nS: 334 UGFzc3dvcmQ6\nC: ****\nS: 235 ok\n"},
        {"login, user and password on their own lines",
         {{kOut, "AUTH LOGIN\r\n"},
          {kIn, "334 VXNlcm5hbWU6\r\n"},
          {kOut, "YW5u\r\n"},
          {kIn, "334 UGFzc3dvcmQ6\r\n"},
          {kOut, "c2VjcmV0\r\n"},
          {kIn, "235 ok\r\n"}},
         "C: AUTH LOGIN\nS: 334 VXNlcm5hbWU6\nC: ****\nS: 334 UGFzc3dvcmQ6\nC: ****\nS: 235 ok\n"},
        {"xoauth2, a token longer than a line",
         {{kOut, "AUTH XOAUTH2 " + token + "\r\n"}, {kIn, "235 ok\r\n"}},
         "C: AUTH XOAUTH2 ****\nS: 235 ok\n"},
        {"oauthbearer, lower case command",
         {{kOut, "auth OAUTHBEARER " + token + "\r\n"}},
         "C: auth OAUTHBEARER ****\n"},
        {"a refused login ends the exchange",
         {{kOut, "AUTH PLAIN AGFubgBzZWNyZXQ=\r\n"},
          {kIn, "535 5.7.8 failed\r\n"},
          {kOut, "QUIT\r\n"}},
         "C: AUTH PLAIN ****\nS: 535 5.7.8 failed\nC: QUIT\n"},
        {"everything else unchanged",
         {{kIn, "250-AUTH PLAIN LOGIN\r\n250 OK\r\n"},
          {kOut, "EHLO client\r\n"},
          {kOut, "AUTHOR x\r\n"},
          {CURLINFO_DATA_OUT, "AUTH PLAIN in the message body\r\n"}},
         "S: 250-AUTH PLAIN LOGIN\nS: 250 OK\nC: EHLO client\nC: AUTHOR x\n"
         "C: AUTH PLAIN in the message body\n"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.expected, TraceOf(c.events)) << c.name;
}

} // namespace
