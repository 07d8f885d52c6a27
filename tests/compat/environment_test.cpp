// GetEnvironmentVariableW / SetEnvironmentVariableW: one variable whatever the letter case,
// Windows sizes and results; GetCommandLineW starts with the quoted program path.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(Environment, NamesMatchWithoutRegardToCase) {
    setenv("COMPAT_Mixed_Name", "one", 1);
    WCHAR buffer[32];
    EXPECT_EQ(3u, GetEnvironmentVariableW(u"compat_mixed_name", buffer, 32));
    EXPECT_EQ(std::u16string(u"one"), buffer);

    ASSERT_TRUE(SetEnvironmentVariableW(u"COMPAT_MIXED_NAME", u"tw\u00f6"));
    EXPECT_STREQ("tw\xc3\xb6", std::getenv("COMPAT_Mixed_Name")); // existing spelling kept
    EXPECT_EQ(nullptr, std::getenv("COMPAT_MIXED_NAME"));

    ASSERT_TRUE(SetEnvironmentVariableW(u"compat_mixed_name", nullptr));
    EXPECT_EQ(nullptr, std::getenv("COMPAT_Mixed_Name"));
    SetLastError(0);
    EXPECT_EQ(0u, GetEnvironmentVariableW(u"COMPAT_MIXED_NAME", buffer, 32));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ENVVAR_NOT_FOUND), GetLastError());
}

TEST(Environment, PathUnderAnySpellingIsThePosixPath) {
    const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
    ASSERT_TRUE(SetEnvironmentVariableW(u"path", u"/a:/b"));
    EXPECT_STREQ("/a:/b", std::getenv("PATH"));
    WCHAR buffer[16];
    EXPECT_EQ(5u, GetEnvironmentVariableW(u"Path", buffer, 16));
    EXPECT_EQ(std::u16string(u"/a:/b"), buffer);
    setenv("PATH", saved.c_str(), 1);
}

TEST(Environment, SizesAndInvalidNamesAsOnWindows) {
    setenv("COMPAT_SIZE", "12345", 1);
    WCHAR buffer[8] = u"keep";
    EXPECT_EQ(6u, GetEnvironmentVariableW(u"COMPAT_SIZE", buffer, 5)); // needed incl. NUL
    EXPECT_EQ(std::u16string(u"keep"), buffer);
    EXPECT_EQ(5u, GetEnvironmentVariableW(u"COMPAT_SIZE", buffer, 6));
    EXPECT_EQ(6u, GetEnvironmentVariableW(u"COMPAT_SIZE", nullptr, 0));
    unsetenv("COMPAT_SIZE");

    EXPECT_FALSE(SetEnvironmentVariableW(u"A=B", u"x"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(SetEnvironmentVariableW(u"", u"x"));
}

TEST(CommandLine, BeginsWithTheQuotedProgramPathAndIsStable) {
    const LPWSTR line = GetCommandLineW();
    ASSERT_NE(nullptr, line);
    EXPECT_EQ(u'"', line[0]);
    EXPECT_NE(nullptr, wcsstr(line, u"win32compat_tests\""));
    EXPECT_EQ(line, GetCommandLineW());
}
