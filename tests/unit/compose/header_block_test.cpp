// Header words: quoting, encoded-words, subject chunks, and what keeps a header on one line.
#include "compose/header_block.h"
#include "compose/image_type.h"
#include "compose/mime_tree.h"

#include <gtest/gtest.h>

#include <regex>

using namespace SMTPClientNS;

namespace {

TEST(HeaderWords, QuoteDisplayNameOnlyWithSpecials) {
    std::string plain = "Ann Doe";
    EXPECT_FALSE(QuoteDisplayName(plain));
    EXPECT_EQ("Ann Doe", plain);

    std::string comma = "Doe, Ann";
    EXPECT_TRUE(QuoteDisplayName(comma));
    EXPECT_EQ("Doe, Ann", comma);

    std::string quoted = "Ann \"The Boss\" Doe";
    EXPECT_TRUE(QuoteDisplayName(quoted));
    EXPECT_EQ("Ann \\\"The Boss\\\" Doe", quoted);

    std::string backslash = "a\\b.";
    EXPECT_TRUE(QuoteDisplayName(backslash));
    EXPECT_EQ("a\\\\b.", backslash);
}

TEST(HeaderWords, DisplayNameBecomesOneEncodedWord) {
    std::string out;
    EXPECT_EQ(0, EncodeDisplayName("UTF-8", u"J\u00fcrgen Wei\u00df", out));
    EXPECT_EQ("=?UTF-8?b?SsO8cmdlbiBXZWnDnw==?=", out);

    std::string ascii;
    EXPECT_EQ(0, EncodeDisplayName("UTF-8", u"Ann Doe", ascii));
    EXPECT_EQ("Ann Doe", ascii);

    std::string unknown;
    EXPECT_EQ(SMTP_ERR_CHARSET_UNSUPPORTED, EncodeDisplayName("X-NONE", u"J\u00fcrgen", unknown));
}

TEST(HeaderWords, SubjectChunksEndAtSpaces) {
    std::string out;
    EncodeSubject("UTF-8", u"Gr\u00fc\u00dfe an alle", out);
    EXPECT_EQ("=?UTF-8?b?R3LDvMOfZSA=?=an alle", out);

    std::string twoSpaces;
    EncodeSubject("UTF-8", u"Gr\u00fc\u00dfe  Welt", twoSpaces);
    EXPECT_EQ("=?UTF-8?b?R3LDvMOfZSA=?= Welt", twoSpaces);

    std::string ascii;
    EncodeSubject("UTF-8", u"Plain  subject ", ascii);
    EXPECT_EQ("Plain  subject ", ascii);

    // A chunk that cannot be converted ends the subject silently.
    std::string cut;
    EncodeSubject("X-NONE", u"Hello W\u00f6rld", cut);
    EXPECT_EQ("Hello ", cut);
}

TEST(HeaderWords, LineBreaksCannotStartAHeaderLine) {
    EXPECT_EQ(WideString(u"Hi  Bcc: x@y"), SingleLine(u"Hi\r\nBcc: x@y"));
    EXPECT_EQ(WideString(u"a b c"), SingleLine(u"a\rb\nc"));
    EXPECT_EQ(WideString(), SingleLine(nullptr));
}

TEST(HeaderWords, DateAndMessageIdLines) {
    const std::string date = FormatDateHeader();
    EXPECT_TRUE(std::regex_match(
        date, std::regex("Date: (Mon|Tue|Wed|Thu|Fri|Sat|Sun), \\d\\d "
                         "(Jan|Feb|Mar|Apr|May|Jun|Jul|Aug|Sep|Oct|Nov|Dec) \\d{4} "
                         "\\d\\d:\\d\\d:\\d\\d [+-]\\d{4}\r\n")))
        << date;

    const std::regex id("Message-ID: <[0-9A-F]{8}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{4}-[0-9A-F]{12}"
                        "@[^>\r\n]{0,15}>\r\n");
    const std::string first = FormatMessageId();
    const std::string second = FormatMessageId();
    EXPECT_TRUE(std::regex_match(first, id)) << first;
    EXPECT_TRUE(std::regex_match(second, id)) << second;
    EXPECT_NE(first, second);
}

TEST(HeaderWords, Base64IsOneLine) {
    const std::string bytes(100, '\xff');
    const std::string text =
        EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size());
    EXPECT_EQ(136u, text.size());
    EXPECT_EQ(std::string::npos, text.find_first_of("\r\n"));
    EXPECT_EQ("", EncodeBase64(nullptr, 0));
    EXPECT_EQ("Zm9vYmFy", EncodeBase64(reinterpret_cast<const unsigned char*>("foobar"), 6));
}

TEST(BodyText, LineEndsBecomeCrLf) {
    EXPECT_EQ(WideString(u"a\r\nb\r\nc\r\nd\r\n\r\n"), WithCrLf(u"a\nb\rc\r\nd\n\r"));
    EXPECT_EQ(WideString(u"\r\n\r\n"), WithCrLf(u"\n\n"));
    EXPECT_EQ(WideString(u"no breaks"), WithCrLf(u"no breaks"));
}

TEST(BodyText, ImageTypeByLastExtension) {
    EXPECT_STREQ("image/png", ImageTypeForFile("logo.PNG"));
    EXPECT_STREQ("image/bmp", ImageTypeForFile("/a.b/pic.bmp"));
    EXPECT_STREQ("", ImageTypeForFile("photo.jpg"));
    EXPECT_STREQ("", ImageTypeForFile("a.bmp.txt"));
    EXPECT_STREQ("", ImageTypeForFile("noextension"));
}

} // namespace
