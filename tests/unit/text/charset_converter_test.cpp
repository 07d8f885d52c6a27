// CCharsetConverter: results, output areas, descriptor reuse and reopening, and the same
// outcome for skipped characters on glibc as on GNU libiconv.
#include "text/charset_converter.h"

#include "compose/mime_tree.h"

#include <gtest/gtest.h>
#include <iconv.h>

#include <memory>
#include <string>
#include <thread>
#include <vector>

namespace SMTPClientNS {

// Private converters with a fresh descriptor state, and their iconv_open counts.
class CharsetConverterTestPeer {
public:
    static std::unique_ptr<CCharsetConverter> Fresh() {
        return std::unique_ptr<CCharsetConverter>(new CCharsetConverter());
    }
    static size_t Opens(const CCharsetConverter& converter) { return converter.openCount_; }
};

} // namespace SMTPClientNS

namespace {

using SMTPClientNS::CCharsetConverter;
using Peer = SMTPClientNS::CharsetConverterTestPeer;

const WCHAR kHighSurrogate = WCHAR(0xD800);
const WCHAR kLowSurrogate = WCHAR(0xDC00);

struct Conversion {
    int result = 1234;
    std::string bytes;
    bool zeroAfterBytes = false;
};

// Runs one conversion; on success copies the bytes out and checks the zero after them.
Conversion Convert(CCharsetConverter& converter, const std::string& charset,
                   const std::u16string& text,
                   CCharsetConverter::LineEnds lineEnds = CCharsetConverter::LineEnds::AsGiven) {
    Conversion c;
    char* out = nullptr;
    size_t len = 99;
    c.result = converter.ConvertFromWide(charset, text.c_str(), &out, &len, lineEnds);
    if (c.result == 0) {
        c.bytes.assign(out, len);
        c.zeroAfterBytes = out[len] == '\0';
        delete[] out;
    } else {
        EXPECT_EQ(nullptr, out);
        EXPECT_EQ(99u, len);
    }
    return c;
}

std::u16string WithUnits(std::u16string text, std::initializer_list<WCHAR> units) {
    text.append(units);
    return text;
}

TEST(CharsetConverter, RefusesMissingArgumentsWithoutOpening) {
    auto converter = Peer::Fresh();
    char* out = nullptr;
    size_t len = 0;
    EXPECT_EQ(-1, converter->ConvertFromWide("UTF-8", u"", &out, &len));
    EXPECT_EQ(-1, converter->ConvertFromWide("", u"x", &out, &len));
    EXPECT_EQ(-1, converter->ConvertFromWide("UTF-8", nullptr, &out, &len));
    EXPECT_EQ(-1, converter->ConvertFromWide("UTF-8", u"x", nullptr, &len));
    EXPECT_EQ(-1, converter->ConvertFromWide("UTF-8", u"x", &out, nullptr));
    EXPECT_EQ(nullptr, out);
    EXPECT_EQ(1u, Peer::Opens(*converter)); // only the first descriptor
}

TEST(CharsetConverter, LeavesOutUnrepresentableCharactersAndSucceeds) {
    auto converter = Peer::Fresh();
    const std::u16string gruesse = u"Gr\u00FC\u00DFe";

    Conversion ascii = Convert(*converter, "ASCII", gruesse);
    EXPECT_EQ(0, ascii.result);
    EXPECT_EQ("Gre", ascii.bytes);
    EXPECT_TRUE(ascii.zeroAfterBytes);

    Conversion latin1 = Convert(*converter, "ISO-8859-1", gruesse);
    EXPECT_EQ(0, latin1.result);
    EXPECT_EQ(std::string("\x47\x72\xFC\xDF\x65", 5), latin1.bytes);
    EXPECT_TRUE(latin1.zeroAfterBytes);

    // Nothing representable: success with no bytes.
    Conversion none = Convert(*converter, "ASCII", u"\u00FC\u20AC");
    EXPECT_EQ(0, none.result);
    EXPECT_EQ("", none.bytes);

    // Invalid input (an unpaired low surrogate) is skipped as well.
    Conversion invalid = Convert(*converter, "UTF-8", WithUnits(u"a", {kLowSurrogate, u'b'}));
    EXPECT_EQ(0, invalid.result);
    EXPECT_EQ("ab", invalid.bytes);
}

// Stateful target sets end every conversion in their initial state, so each converted text
// (a body, an encoded subject word) decodes on its own.
TEST(CharsetConverter, StatefulCharsetsEndInTheirInitialState) {
    const struct {
        const char* charset;
        std::u16string text;
        std::string bytes;
    } cases[] = {
        {"UTF-7", u"\u65E5\u672C", "+ZeVnLA-"},
        {"UTF-7", u"a\u65E5", "a+ZeU-"},
        {"ISO-2022-JP", u"\u65E5\u672C", "\x1B$BF|K\\\x1B(B"},
        {"ISO-2022-JP", u"a\u65E5", "a\x1B$BF|\x1B(B"},
    };
    auto converter = Peer::Fresh();
    for (const auto& c : cases) {
        SCOPED_TRACE(c.charset);
        // Twice: the second conversion starts from the state the first one left.
        for (int round = 0; round < 2; ++round) {
            const Conversion converted = Convert(*converter, c.charset, c.text);
            EXPECT_EQ(0, converted.result);
            EXPECT_EQ(c.bytes, converted.bytes);
            EXPECT_TRUE(converted.zeroAfterBytes);
        }
    }
}

TEST(CharsetConverter, SkipsThroughLongTextsWithManyUnrepresentableCharacters) {
    // Long enough that glibc stops several times on the way.
    auto converter = Peer::Fresh();
    std::u16string text;
    std::string expected;
    for (int i = 0; i < 20000; ++i) {
        text += u"a\u00FCb";
        expected += "ab";
    }
    Conversion c = Convert(*converter, "ASCII", text);
    EXPECT_EQ(0, c.result);
    EXPECT_EQ(expected, c.bytes);

    // An unpaired high surrogate at its end is still a failure.
    EXPECT_EQ(-22, Convert(*converter, "ASCII", WithUnits(text, {kHighSurrogate})).result);
}

TEST(CharsetConverter, TrailingHighSurrogateFailsAfterOutputAndForgetsDescriptor) {
    auto converter = Peer::Fresh();
    EXPECT_EQ(0, Convert(*converter, "UTF-8", u"x").result);
    EXPECT_EQ(2u, Peer::Opens(*converter));

    EXPECT_EQ(-22, Convert(*converter, "UTF-8", WithUnits(u"ab", {kHighSurrogate})).result);
    // Skipped characters before the incomplete end do not turn it into success.
    EXPECT_EQ(-22, Convert(*converter, "ASCII", WithUnits(u"\u00FCx", {kHighSurrogate})).result);
    EXPECT_EQ(3u, Peer::Opens(*converter));

    Conversion next = Convert(*converter, "ASCII", u"ok");
    EXPECT_EQ(0, next.result);
    EXPECT_EQ("ok", next.bytes);
    EXPECT_EQ(4u, Peer::Opens(*converter)); // reopened although the name is the same
}

TEST(CharsetConverter, LoneHighSurrogateProducesNothingAndSucceeds) {
    auto converter = Peer::Fresh();
    Conversion c = Convert(*converter, "UTF-8", std::u16string(1, kHighSurrogate));
    EXPECT_EQ(0, c.result);
    EXPECT_EQ("", c.bytes);
    EXPECT_TRUE(c.zeroAfterBytes);
    // Nothing was produced, so the descriptor stays cached.
    EXPECT_EQ(0, Convert(*converter, "UTF-8", u"y").result);
    EXPECT_EQ(2u, Peer::Opens(*converter));
}

TEST(CharsetConverter, ReusesDescriptorUntilTheNameChangesByteForByte) {
    auto converter = Peer::Fresh();
    EXPECT_EQ(1u, Peer::Opens(*converter));

    // Exactly "utf-8" uses the first descriptor, which has no ignore suffix: invalid input
    // stops it after "a".
    EXPECT_EQ(-22, Convert(*converter, "utf-8", WithUnits(u"a", {kLowSurrogate, u'b'})).result);
    EXPECT_EQ(1u, Peer::Opens(*converter));

    auto other = Peer::Fresh();
    EXPECT_EQ("\xC3\xA4", Convert(*other, "utf-8", u"\u00E4").bytes);
    EXPECT_EQ(1u, Peer::Opens(*other));
    // "UTF-8" differs from "utf-8": reopened, now skipping, then reused.
    EXPECT_EQ("ab", Convert(*other, "UTF-8", WithUnits(u"a", {kLowSurrogate, u'b'})).bytes);
    EXPECT_EQ(2u, Peer::Opens(*other));
    EXPECT_EQ("z", Convert(*other, "UTF-8", u"z").bytes);
    EXPECT_EQ(2u, Peer::Opens(*other));
    EXPECT_EQ("\xE4", Convert(*other, "ISO-8859-1", u"\u00E4").bytes);
    EXPECT_EQ(3u, Peer::Opens(*other));
}

TEST(CharsetConverter, UnknownOrOverlongNameKeepsThePreviousDescriptor) {
    auto converter = Peer::Fresh();
    EXPECT_EQ(0, Convert(*converter, "ISO-8859-1", u"a").result);
    EXPECT_EQ(2u, Peer::Opens(*converter));

    EXPECT_EQ(-21, Convert(*converter, "X-NONE", u"a").result);
    EXPECT_EQ(3u, Peer::Opens(*converter));
    EXPECT_EQ("\xFC", Convert(*converter, "ISO-8859-1", u"\u00FC").bytes);
    EXPECT_EQ(3u, Peer::Opens(*converter));

    // 503 bytes plus the suffix fit the 512-byte open name; 504 do not and are never opened.
    EXPECT_EQ(-21, Convert(*converter, std::string(503, 'A'), u"a").result);
    EXPECT_EQ(4u, Peer::Opens(*converter));
    EXPECT_EQ(-21, Convert(*converter, std::string(504, 'A'), u"a").result);
    EXPECT_EQ(-21, Convert(*converter, std::string("UTF-8\0X", 7), u"a").result);
    // iconv would open these as UTF-8; the line break or '?' would then reach the headers.
    for (const char* unsafe : {"UTF-8\r\n", "UTF-8?=", "UTF 8", "UTF-8\"", "UTF-8;x"})
        EXPECT_EQ(-21, Convert(*converter, unsafe, u"a").result) << unsafe;
    EXPECT_EQ(4u, Peer::Opens(*converter));
    EXPECT_EQ("\xFC", Convert(*converter, "ISO-8859-1", u"\u00FC").bytes);
    EXPECT_EQ(4u, Peer::Opens(*converter));
}

// The whole text converted by one plain iconv call: what the converter must produce however
// it splits the text.
std::string OneIconvCall(const char* charset, const std::u16string& text) {
    iconv_t descriptor = iconv_open(charset, "UTF-16LE");
    EXPECT_NE(iconv_t(-1), descriptor);
    std::string out(4 * text.size() + 16, '\0');
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    size_t inLeft = 2 * text.size();
    char* cursor = out.data();
    size_t outLeft = out.size();
    EXPECT_NE(size_t(-1), iconv(descriptor, &in, &inLeft, &cursor, &outLeft));
    EXPECT_NE(size_t(-1), iconv(descriptor, nullptr, nullptr, &cursor, &outLeft));
    iconv_close(descriptor);
    out.resize(out.size() - outLeft);
    return out;
}

// Long texts are converted in pieces: line ends, surrogate pairs and shift states that meet a
// piece's end come out as from one call over the whole text.
TEST(CharsetConverter, LongTextsConvertAsOneWhereverThePiecesEnd) {
    const std::u16string pair = u"\U0001F600";
    auto converter = Peer::Fresh();
    // Around each multiple of the piece length, with and without line ends rewritten.
    for (size_t at : {size_t(32766), size_t(32767), size_t(32768), size_t(32769), size_t(65535)}) {
        for (const std::u16string& inserted :
             {std::u16string(u"\r\n"), std::u16string(u"\r"), std::u16string(u"\n\r"), pair}) {
            std::u16string text(at, u'a');
            text += inserted + u"\u65E5b\n" + std::u16string(40000, u'c');
            for (const char* charset : {"UTF-8", "ISO-2022-JP", "UTF-16LE"}) {
                // ISO-2022-JP has no characters outside the BMP.
                if (inserted == pair && std::string(charset) == "ISO-2022-JP")
                    continue;
                SCOPED_TRACE(testing::Message() << charset << " at " << at);
                const Conversion given = Convert(*converter, charset, text);
                EXPECT_EQ(0, given.result);
                EXPECT_TRUE(given.bytes == OneIconvCall(charset, text));
                const Conversion crlf =
                    Convert(*converter, charset, text, CCharsetConverter::LineEnds::CrLf);
                EXPECT_EQ(0, crlf.result);
                EXPECT_TRUE(crlf.bytes ==
                            OneIconvCall(charset, SMTPClientNS::WithCrLf(text.c_str())));
                EXPECT_TRUE(crlf.zeroAfterBytes);
            }
        }
    }
}

// A lone high surrogate is left out wherever it meets a piece's end or a rewritten line end.
TEST(CharsetConverter, LoneHighSurrogateInLongTextIsLeftOut) {
    auto converter = Peer::Fresh();
    for (size_t at : {size_t(100), size_t(32767), size_t(32768)}) {
        for (const std::u16string& after : {std::u16string(u"\n"), std::u16string(u"\r\n")}) {
            SCOPED_TRACE(at);
            std::u16string text(at, u'a');
            text = u"x\r\n" + text + kHighSurrogate + after + u"b";
            const Conversion c =
                Convert(*converter, "UTF-8", text, CCharsetConverter::LineEnds::CrLf);
            EXPECT_EQ(0, c.result);
            EXPECT_TRUE(c.bytes == "x\r\n" + std::string(at, 'a') + "\r\nb");
        }
    }
}

TEST(CharsetConverter, InstanceIsOneObjectAndConvertsOnTwoThreadsAtOnce) {
    CCharsetConverter* seen[2] = {nullptr, nullptr};
    int failures[2] = {0, 0};
    // Alternating names make each thread replace the descriptor the other one uses.
    auto work = [&](int id, const char* first, const char* second) {
        seen[id] = &CCharsetConverter::Instance();
        for (int i = 0; i < 2000; ++i) {
            const bool latin = (i % 2) == 0;
            Conversion c =
                Convert(CCharsetConverter::Instance(), latin ? first : second, u"Gr\u00FC\u00DFe");
            const std::string expected = latin ? "Gr\xFC\xDF"
                                                 "e"
                                               : "Gr\xC3\xBC\xC3\x9F"
                                                 "e";
            if (c.result != 0 || c.bytes != expected)
                ++failures[id];
        }
    };
    std::thread a(work, 0, "ISO-8859-1", "UTF-8");
    std::thread b(work, 1, "latin1", "utf-8");
    a.join();
    b.join();
    EXPECT_EQ(seen[0], seen[1]);
    EXPECT_EQ(0, failures[0]);
    EXPECT_EQ(0, failures[1]);
}

} // namespace
