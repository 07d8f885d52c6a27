// WideToAnsi and NarrowToWide: what they leave in the target for empty, null and non-ASCII text.
#include "text/wide_text.h"

#include <gtest/gtest.h>

#include <string>

using SMTPClientNS::NarrowToWide;
using SMTPClientNS::WideString;
using SMTPClientNS::WideToAnsi;

TEST(NarrowToWide, EmptyOrNullTextLeavesTargetUnchanged) {
    WideString target = u"kept";
    NarrowToWide("", target, CP_UTF8);
    EXPECT_EQ(u"kept", target);
    NarrowToWide(nullptr, target, CP_ACP);
    EXPECT_EQ(u"kept", target);
}

TEST(NarrowToWide, ConvertsUtf8AndAnsiWithoutTerminator) {
    WideString target = u"old text";
    NarrowToWide("\xC3\x84", target, CP_UTF8);
    EXPECT_EQ(WideString(1, u'\u00C4'), target);

    NarrowToWide("Gr\xC3\xBC\xC3\x9F"
                 "e \xE2\x82\xAC \xF0\x9F\x98\x80",
                 target, CP_ACP);
    EXPECT_EQ(u"Gr\u00FC\u00DFe \u20AC \U0001F600", target);
}

TEST(WideToAnsi, EmptyTextClearsTargetAndNullLeavesItUnchanged) {
    std::string target = "kept";
    WideToAnsi(nullptr, target);
    EXPECT_EQ("kept", target);
    WideToAnsi(u"", target);
    EXPECT_EQ("", target);
}

TEST(WideToAnsi, ConvertsToUtf8AndReplacesUnpairedSurrogates) {
    std::string target;
    WideToAnsi(u"Gr\u00FC\u00DFe \U0001F600", target);
    EXPECT_EQ("Gr\xC3\xBC\xC3\x9F"
              "e \xF0\x9F\x98\x80",
              target);

    const WCHAR lone[] = {u'a', WCHAR(0xD800), u'b', 0};
    WideToAnsi(lone, target);
    EXPECT_EQ("a\xEF\xBF\xBD"
              "b",
              target);
}
