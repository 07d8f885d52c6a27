// Trace records of protocol data and the summary record.
#include "log/send_log.h"

#include <gtest/gtest.h>

#include <regex>

using namespace SMTPClientNS;

namespace {

// The record that one block of data becomes.
std::string Record(const char* label, const std::string& data, char mode = 1) {
    LineList messages, trace;
    ResetLog(messages, trace);
    DumpTraceData(label, reinterpret_cast<const unsigned char*>(data.data()), data.size(), mode);
    CollectLogRecords(messages, trace);
    EXPECT_EQ(1u, trace.size());
    return trace.empty() ? std::string() : trace.front();
}

TEST(TraceRecord, TextModeLinesEndAtCrLf) {
    EXPECT_EQ("S: 250 OK\n", Record("S", "250 OK\r\n"));
    EXPECT_EQ("C: QUIT\n", Record("C", "QUIT\r\n"));
    EXPECT_EQ("S: 250-a\nS: 250 b\n", Record("S", "250-a\r\n250 b\r\n"));
    EXPECT_EQ("C: \n", Record("C", "\r\n"));
    EXPECT_EQ("", Record("C", ""));
    // A last line without CR LF ends where the data ends.
    EXPECT_EQ("S: 220 ready\nS: tail\n", Record("S", "220 ready\r\ntail"));
}

TEST(TraceRecord, LongLinesWrapAt96Characters) {
    const std::string block(200, 'x');
    EXPECT_EQ("C: " + std::string(96, 'x') + "\nC: " + std::string(96, 'x') +
                  "\nC: " + std::string(8, 'x') + "\n",
              Record("C", block));
}

TEST(TraceRecord, UnprintableBytesBecomeDots) {
    EXPECT_EQ("S: a.b.c\x7f.\n", Record("S", std::string("a\tb\nc\x7f\x80", 7)));
}

TEST(TraceRecord, HexModeShowsSixteenBytesALine) {
    EXPECT_EQ("C: 41 42 " + std::string(14 * 4, ' ') + "AB\n", Record("C", "AB", 0));
}

TEST(TraceRecord, InformationalTextLosesLeadingBlanks) {
    LineList messages, trace;
    ResetLog(messages, trace);
    char mode = 1;
    char text[] = "  Trying 127.0.0.1:25...\n";
    char blanks[] = "   ";
    OnCurlDebug(nullptr, CURLINFO_TEXT, text, sizeof text - 1, &mode);
    OnCurlDebug(nullptr, CURLINFO_TEXT, blanks, sizeof blanks - 1, &mode);
    OnCurlDebug(nullptr, curl_infotype(7), text, sizeof text - 1, &mode);
    CollectLogRecords(messages, trace);
    ASSERT_EQ(2u, trace.size());
    EXPECT_EQ("Trying 127.0.0.1:25...\n", trace[0]);
    EXPECT_EQ("", trace[1]);
    // The session text keeps the line, not the empty record.
    EXPECT_EQ(LineList{"Trying 127.0.0.1:25...\n"}, messages);
}

TEST(SummaryRecord, MapsTheResultOnceAndKeepsItOnRepeat) {
    LineList messages, trace;
    ResetLog(messages, trace);
    int lastResult = 7;
    AppendSessionSummary(lastResult, 7);
    EXPECT_EQ(-5, lastResult);
    AppendSessionSummary(lastResult, 7);
    EXPECT_EQ(-5, lastResult);

    int success = 0;
    AppendSessionSummary(success, 0);
    EXPECT_EQ(0, success);

    int never = SMTP_NO_SEND_YET;
    AppendSessionSummary(never, SMTP_NO_SEND_YET);
    EXPECT_EQ(SMTP_NO_SEND_YET, never);

    CollectLogRecords(messages, trace);
    ASSERT_EQ(4u, trace.size());
    const std::string tail = "End Connnect: \\d{4}-\\d\\d-\\d\\d \\d\\d:\\d\\d:\\d\\d\n\n={82}\n\n";
    EXPECT_TRUE(std::regex_match(
        trace[0],
        std::regex("Error Info: " + std::string(curl_easy_strerror(CURLcode(7))) + "\n" + tail)))
        << trace[0];
    EXPECT_TRUE(std::regex_match(trace[2], std::regex("Email sent successfully!\n" + tail)));
    EXPECT_EQ(0u, trace[3].find("Error Info: "));
}

} // namespace
