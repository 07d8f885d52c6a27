// Header words: quoting, encoded-words, subject chunks, folding, and what keeps a header on
// one line.
#include "compose/header_block.h"
#include "compose/header_folding.h"
#include "compose/image_type.h"
#include "compose/mime_tree.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <iconv.h>
#include <regex>
#include <sstream>

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

TEST(HeaderWords, ShortDisplayNameBecomesOneEncodedWord) {
    std::string out;
    EXPECT_EQ(0, EncodeDisplayName("UTF-8", u"J\u00fcrgen Wei\u00df", out));
    EXPECT_EQ("=?UTF-8?b?SsO8cmdlbiBXZWnDnw==?=", out);

    // All converted bytes count, zero bytes of UTF-16 included.
    std::string utf16;
    EXPECT_EQ(0, EncodeDisplayName("UTF-16", u"Zo\u00eb", utf16));
    EXPECT_EQ("=?UTF-16?b?//5aAG8A6wA=?=", utf16);

    std::string ascii;
    EXPECT_EQ(0, EncodeDisplayName("UTF-8", u"Ann Doe", ascii));
    EXPECT_EQ("Ann Doe", ascii);

    std::string unknown;
    EXPECT_EQ(SMTP_ERR_CHARSET_UNSUPPORTED, EncodeDisplayName("X-NONE", u"J\u00fcrgen", unknown));
}

TEST(HeaderWords, SubjectWordsAreSeparatedFromTheirNeighbours) {
    struct Case {
        const char* charset;
        const char16_t* subject;
        const char* encoded;
    };
    const Case cases[] = {
        // The space before plain text stands outside the encoded-word.
        {"UTF-8", u"Gr\u00fc\u00dfe an alle", "=?UTF-8?b?R3LDvMOfZQ==?= an alle"},
        {"UTF-8", u"Gr\u00fc\u00dfe  Welt", "=?UTF-8?b?R3LDvMOfZQ==?=  Welt"},
        // Adjacent non-ASCII chunks are one run; a final space stays inside.
        {"UTF-8", u"Gr\u00fc\u00dfe sch\u00f6ne Welt", "=?UTF-8?b?R3LDvMOfZSBzY2jDtm5l?= Welt"},
        {"UTF-8", u"Welt Gr\u00fc\u00dfe ", "Welt =?UTF-8?b?R3LDvMOfZSA=?="},
        {"UTF-8", u"Plain  subject ", "Plain  subject "},
        // White space between two encoded-words, or around encoded text at either end,
        // stays inside the words: decoders drop it between words and readers trim the ends.
        {"UTF-8", u"Gr\u00fc\u00dfe  M\u00fcnchen", "=?UTF-8?b?R3LDvMOfZSAgTcO8bmNoZW4=?="},
        {"UTF-8", u"  Gr\u00fc\u00dfe \t K\u00f6ln  ", "=?UTF-8?b?ICBHcsO8w59lIAkgS8O2bG4gIA==?="},
        {"UTF-8", u"Gr\u00fc\u00dfe an  K\u00f6ln",
         "=?UTF-8?b?R3LDvMOfZQ==?= an =?UTF-8?b?IEvDtmxu?="},
        // A chunk that cannot be converted ends the subject silently.
        {"X-NONE", u"Hello W\u00f6rld", "Hello "},
    };
    for (const Case& c : cases) {
        std::string out;
        EncodeSubject(c.charset, c.subject, out);
        EXPECT_EQ(c.encoded, out);
    }
}

// Decodes a header text the RFC 2047 way (white space between two encoded-words dropped),
// each word on its own with a strict decoder, and checks each word's form: at most 75
// characters, ending in the charset's initial state, and without base64 padding when another
// word follows it. Returns UTF-8.
std::string DecodeWords(const std::string& charset, const std::string& header) {
    static const std::regex word("=\\?([^?]+)\\?b\\?([A-Za-z0-9+/=]*)\\?=");
    std::vector<std::string> tokens;
    std::istringstream split(header);
    for (std::string token; std::getline(split, token, ' ');)
        tokens.push_back(token);
    std::string decoded;
    for (size_t i = 0; i < tokens.size(); ++i) {
        std::smatch match;
        const bool encoded = std::regex_match(tokens[i], match, word);
        const bool afterWord = i > 0 && std::regex_match(tokens[i - 1], word);
        if (i > 0 && !(encoded && afterWord))
            decoded += ' ';
        if (!encoded) {
            decoded += tokens[i];
            continue;
        }
        EXPECT_LE(tokens[i].size(), 75u) << tokens[i];
        EXPECT_EQ(charset, match[1].str());
        const bool wordFollows = i + 1 < tokens.size() && std::regex_match(tokens[i + 1], word);
        EXPECT_FALSE(wordFollows && match[2].str().back() == '=') << "padded: " << tokens[i];
        std::string bytes;
        unsigned buffer = 0;
        int bits = 0;
        for (char c : match[2].str()) {
            const size_t value =
                std::string("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/")
                    .find(c);
            if (value == std::string::npos)
                continue;
            buffer = (buffer << 6) | unsigned(value);
            if ((bits += 6) >= 8)
                bytes += char((buffer >> (bits -= 8)) & 0xFF);
        }
        if (bytes.find("\x1B$B") != std::string::npos) {
            EXPECT_EQ("\x1B(B", bytes.substr(bytes.size() - 3)) << "word ends shifted";
        }
        iconv_t cd = iconv_open("UTF-8", charset.c_str());
        char out[512] = {};
        char* in = bytes.data();
        char* to = out;
        size_t inLeft = bytes.size(), outLeft = sizeof out;
        EXPECT_NE(size_t(-1), iconv(cd, &in, &inLeft, &to, &outLeft)) << "cut character";
        iconv_close(cd);
        decoded.append(out, to);
    }
    return decoded;
}

TEST(HeaderWords, LongTextsBecomeWordsOfAtMost75Characters) {
    std::string words;
    for (int i = 0; i < 60; ++i)
        words += std::string(i ? " " : "") + (i % 3 ? "Gr\xC3\xBC\xC3\x9F"
                                                      "e"
                                                    : "an");
    const std::string japanese = "\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E\xE3\x81\xAE";
    std::string longJapanese;
    for (int i = 0; i < 12; ++i)
        longJapanese += japanese + (i == 5 ? " abc " : "");
    const std::string emoji = "\xF0\x9F\x98\x80\xF0\x9F\x98\x81";
    struct Case {
        const char* charset;
        std::string text; // UTF-8
    };
    const Case cases[] = {
        {"UTF-8", words},
        {"ISO-2022-JP", longJapanese},
        {"Shift_JIS", longJapanese},
        {"UTF-8", emoji + emoji + emoji + emoji + emoji + emoji + emoji + emoji},
        {"UTF-8", std::string(1000, 'x') + " ok"}, // too long for one header line
    };
    for (const Case& c : cases) {
        const std::u16string text = testsupport::Utf16(c.text);
        std::string subject, name;
        EncodeSubject(c.charset, text.c_str(), subject);
        ASSERT_EQ(0, EncodeDisplayName(c.charset, text.c_str(), name));
        EXPECT_EQ(c.text, DecodeWords(c.charset, subject)) << subject;
        EXPECT_EQ(c.text, DecodeWords(c.charset, name)) << name;
        EXPECT_NE(std::string::npos, name.find("?= =?")) << "one word only: " << name;
        // The first word shares its line with the field name.
        EXPECT_LE(subject.find(' '), 78u - 9) << subject;
        EXPECT_LE(name.find(' '), 78u - 6) << name;
    }
}

TEST(HeaderWords, LinesFoldAtBlanks) {
    const std::string word(30, 'w');
    const std::string quoted = "\"" + std::string(500, 'q') + " " + std::string(600, 'q') + "\"";
    struct Case {
        std::string line;
        std::string folded;
    };
    const Case cases[] = {
        {"Subject: short", "Subject: short"},
        {"X-Priority: 3 ", "X-Priority: 3 "},
        {"Subject: " + word + " " + word + " " + word,
         "Subject: " + word + " " + word + "\r\n " + word},
        // Never before the value's first word; a run of blanks moves as a whole.
        {"Subject: " + std::string(80, 'x') + "  y",
         "Subject: " + std::string(80, 'x') + "\r\n  y"},
        {" " + word + " " + word + " " + word + ",",
         " " + word + " " + word + "\r\n " + word + ","},
        // Inside a quoted string only where a line would exceed 998.
        {"To: " + std::string(80, 'a') + " \"x y\" <a@b>",
         "To: " + std::string(80, 'a') + "\r\n \"x y\" <a@b>"},
        {"To: " + quoted + " <a@b>",
         "To: \"" + std::string(500, 'q') + "\r\n " + std::string(600, 'q') + "\"\r\n <a@b>"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.folded, FoldHeaderLine(c.line)) << c.line;
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
