// Word-at-a-time scans: every start alignment and every position of what they look for.
#include "text/unit_scan.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SMTPClientNS::BoundedTextLength;
using SMTPClientNS::FindCrOrLf;

TEST(UnitScan, FindsTheFirstMatchFromEveryAlignment) {
    // Units that differ from CR, LF and zero in one bit only, or have the high bit set, must
    // not be taken for them.
    const std::u16string filler = u"\u000C\u000B\u010D\u8000\uFFFFabc\u000E\u200A";
    for (size_t start = 0; start < 4; ++start) {
        for (size_t at = 0; at < 20; ++at) {
            for (const char16_t wanted : {u'\r', u'\n', u'\0'}) {
                SCOPED_TRACE(testing::Message()
                             << "start " << start << " at " << at << " unit " << int(wanted));
                std::u16string text;
                while (text.size() < 40)
                    text += filler;
                text[start + at] = wanted;
                text[start + at + 3] = u'\r';
                text[start + at + 5] = u'\0';
                const char16_t* begin = text.data() + start;
                const char16_t* end = begin + 30;
                if (wanted == u'\0') {
                    EXPECT_EQ(at, BoundedTextLength(begin, 100));
                    EXPECT_EQ(at, BoundedTextLength(begin, at + 1));
                    EXPECT_EQ(at - at / 2, BoundedTextLength(begin, at - at / 2));
                } else {
                    EXPECT_EQ(begin + at, FindCrOrLf(begin, end));
                    EXPECT_EQ(begin + at, FindCrOrLf(begin, begin + at));
                    EXPECT_EQ(at + 5, BoundedTextLength(begin, 100));
                }
            }
        }
    }
}

} // namespace
