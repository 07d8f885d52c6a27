// The codec's two treatments of invalid input, on whole texts in both directions.
#include "utf_codec.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using utf::Invalid;

enum class Direction { FromUtf8, ToUtf8 };

struct CodecCase {
    const char* what;
    Direction direction;
    Invalid invalid;
    std::string utf8;
    std::u16string utf16;
};

const CodecCase kCases[] = {
    {"valid UTF-8", Direction::FromUtf8, Invalid::Replace, "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
     u"\u00E4\u20AC\U0001F600"},
    {"stray continuation byte", Direction::FromUtf8, Invalid::Replace, "a\x80z", u"a\uFFFDz"},
    {"cut sequence is one U+FFFD", Direction::FromUtf8, Invalid::Replace, "x\xE2\x82", u"x\uFFFD"},
    {"overlong form", Direction::FromUtf8, Invalid::Replace, "\xC0\xAF", u"\uFFFD\uFFFD"},
    {"cut sequence escaped byte by byte", Direction::FromUtf8, Invalid::EscapeBytes, "x\xE2\x82",
     u"x\xDCE2\xDC82"},
    {"embedded NUL", Direction::FromUtf8, Invalid::EscapeBytes, std::string("a\0b", 3),
     std::u16string(u"a\0b", 3)},
    {"valid UTF-16", Direction::ToUtf8, Invalid::Replace, "\xC3\xA4\xE2\x82\xAC\xF0\x9F\x98\x80",
     u"\u00E4\u20AC\U0001F600"},
    {"lone high surrogate at the end", Direction::ToUtf8, Invalid::Replace, "a\xEF\xBF\xBD",
     u"a\xD800"},
    {"lone low surrogate", Direction::ToUtf8, Invalid::Replace, "\xEF\xBF\xBDz", u"\xDC00z"},
    {"byte escape without escapes", Direction::ToUtf8, Invalid::Replace, "\xEF\xBF\xBD", u"\xDCE9"},
    {"byte escape back to its byte", Direction::ToUtf8, Invalid::EscapeBytes, "caf\xE9",
     u"caf\xDCE9"},
    {"surrogate below the escapes", Direction::ToUtf8, Invalid::EscapeBytes, "\xEF\xBF\xBD",
     u"\xDC41"},
    {"pair ending in an escape's value", Direction::ToUtf8, Invalid::EscapeBytes,
     "\xF0\x90\x82\x80", u"\xD800\xDC80"},
};

} // namespace

TEST(UtfCodec, TreatsInvalidInputAsAsked) {
    for (const CodecCase& c : kCases) {
        if (c.direction == Direction::FromUtf8)
            EXPECT_EQ(c.utf16, utf::Utf8ToUtf16<char16_t>(c.utf8, c.invalid)) << c.what;
        else
            EXPECT_EQ(c.utf8, utf::Utf16ToUtf8(std::u16string_view(c.utf16), c.invalid)) << c.what;
    }
}
