// getenv_s, _snwprintf_s and the bounded 16-bit string functions: the Windows CRT results
// the launcher relies on to refuse values that do not fit.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

TEST(GetenvS, ReportsPresenceSizeAndTooSmallBuffers) {
    setenv("COMPAT_TEST_VALUE", "true", 1);
    char buffer[8] = "xxxxxxx";
    size_t required = 99;
    EXPECT_EQ(0, getenv_s(&required, buffer, sizeof buffer, "COMPAT_TEST_VALUE"));
    EXPECT_EQ(5u, required);
    EXPECT_STREQ("true", buffer);

    EXPECT_EQ(ERANGE, getenv_s(&required, buffer, 4, "COMPAT_TEST_VALUE"));
    EXPECT_EQ(5u, required);
    EXPECT_STREQ("", buffer);

    unsetenv("COMPAT_TEST_VALUE");
    EXPECT_EQ(0, getenv_s(&required, buffer, sizeof buffer, "COMPAT_TEST_VALUE"));
    EXPECT_EQ(0u, required);
    EXPECT_STREQ("", buffer);

    EXPECT_EQ(EINVAL, getenv_s(nullptr, buffer, sizeof buffer, "PATH"));
    EXPECT_EQ(EINVAL, getenv_s(&required, nullptr, 4, "PATH"));
}

TEST(SnwprintfS, FormatsStringsAndRefusesToOverflow) {
    WCHAR buffer[16];
    EXPECT_EQ(8, _snwprintf_s(buffer, 16, _TRUNCATE, u"%s/%s;%%", u"ab", u"cde"));
    EXPECT_EQ(std::u16string(u"ab/cde;%"), buffer);

    EXPECT_EQ(-1, _snwprintf_s(buffer, 6, _TRUNCATE, u"%s-x", u"abcdef"));
    EXPECT_EQ(std::u16string(u"abcde"), buffer);

    EXPECT_EQ(-1, _snwprintf_s(buffer, 6, 10, u"%s", u"abcdefgh"));
    EXPECT_EQ(std::u16string(), buffer);

    EXPECT_EQ(6, _snwprintf_s(buffer, 16, _TRUNCATE, u"%s", nullptr));
    EXPECT_EQ(std::u16string(u"(null)"), buffer);
}

TEST(BoundedWideStrings, CopyAppendAndCompareAsTheSecureCrt) {
    WCHAR buffer[8] = u"zzzzzzz";
    EXPECT_EQ(0, wcscpy_s(buffer, 8, u"abc"));
    EXPECT_EQ(0, wcscat_s(buffer, 8, u"defg"));
    EXPECT_EQ(std::u16string(u"abcdefg"), buffer);
    EXPECT_EQ(ERANGE, wcscat_s(buffer, 8, u"h"));
    EXPECT_EQ(std::u16string(), buffer);

    EXPECT_EQ(0, wcsncpy_s(buffer, 8, u"abcdef", 2));
    EXPECT_EQ(std::u16string(u"ab"), buffer);
    EXPECT_EQ(STRUNCATE, wcsncat_s(buffer, 8, u"0123456789", _TRUNCATE));
    EXPECT_EQ(std::u16string(u"ab01234"), buffer);
    EXPECT_EQ(ERANGE, wcsncpy_s(buffer, 4, u"abcd", 4));
    EXPECT_EQ(std::u16string(), buffer);
    EXPECT_EQ(EINVAL, wcscpy_s(nullptr, 4, u"a"));

    EXPECT_EQ(0, _wcsicmp(u"Path", u"PATH"));
    EXPECT_LT(_wcsicmp(u"abc", u"ABD"), 0);
    EXPECT_NE(0, _wcsicmp(u"\u00e9", u"\u00c9")); // only ASCII letters fold
    EXPECT_EQ(0, _wcsnicmp(u"TRL*xyz", u"trl*abc", 4));
}
