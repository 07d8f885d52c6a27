// MessageBoxW on this platform: one line on standard error, OK as the answer.
#include <windows.h>

#include <gtest/gtest.h>

TEST(MessageBox, WritesOneLinePerBoxAndAnswersOk) {
    testing::internal::CaptureStderr();
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, u"Line one!\r\nSolution: \u00e9 a\\b", u"Error",
                                MB_ICONERROR | MB_SYSTEMMODAL));
    EXPECT_EQ(IDOK, MessageBoxW(nullptr, u"Start", u"cv app stub", MB_OK));
    EXPECT_EQ("[Error] Line one!\\r\\nSolution: \xc3\xa9 a\\\\b\n[cv app stub] Start\n",
              testing::internal::GetCapturedStderr());
}
