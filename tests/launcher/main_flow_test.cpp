// The argument text cut from the command line, including forms a shell never produces on
// this platform (unquoted program path, unclosed quote, two blanks).
#include "main_flow/main_flow.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::u16string Arguments(const char16_t* line) {
    return launcher::ArgumentText(line);
}

} // namespace

TEST(ArgumentText, CutByTheCommandLineRules) {
    EXPECT_EQ(u"", Arguments(u"\"/opt/app/Sales\""));
    EXPECT_EQ(u"", Arguments(u"\"/opt/app/Sales\" "));
    EXPECT_EQ(u"-x", Arguments(u"\"/opt/app/Sales\" -x"));
    EXPECT_EQ(u" -x", Arguments(u"\"/opt/app/Sales\"  -x"));
    EXPECT_EQ(u"x", Arguments(u"\"/opt/app/Sales\"-x")); // exactly one unit is skipped
    EXPECT_EQ(u"one two", Arguments(u"/opt/app/Sales one two"));
    EXPECT_EQ(u"", Arguments(u"/opt/app/Sales"));
    EXPECT_EQ(u"/opt/app/Sales -x", Arguments(u"\"/opt/app/Sales -x"));
    EXPECT_EQ(u"", Arguments(u""));
}
