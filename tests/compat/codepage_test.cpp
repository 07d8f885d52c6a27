// MultiByteToWideChar / WideCharToMultiByte: sizes, terminators, replacement and errors as on
// Windows.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <thread>

namespace {

std::u16string ToWide(const std::string& bytes) {
    const int count = int(bytes.size());
    const int need = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, nullptr, 0);
    std::u16string out(size_t(need), u'\0');
    EXPECT_EQ(need, MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, out.data(), need));
    return out;
}

std::string ToBytes(const std::u16string& text) {
    const int count = int(text.size());
    const int need =
        WideCharToMultiByte(CP_ACP, 0, text.data(), count, nullptr, 0, nullptr, nullptr);
    std::string out(size_t(need), '\0');
    EXPECT_EQ(need, WideCharToMultiByte(CP_ACP, 0, text.data(), count, out.data(), need, nullptr,
                                        nullptr));
    return out;
}

TEST(CodePage, TerminatedInputCountsAndConvertsTheTerminator) {
    EXPECT_EQ(4, MultiByteToWideChar(CP_ACP, 0, "abc", -1, nullptr, 0));
    WCHAR wide[8] = {u'x', u'x', u'x', u'x', u'x'};
    EXPECT_EQ(4, MultiByteToWideChar(CP_ACP, 0, "abc", -1, wide, 8));
    EXPECT_EQ(std::u16string(u"abc"), std::u16string(wide));

    // Ä b c € and the terminator: 2 + 1 + 1 + 3 + 1 bytes.
    EXPECT_EQ(8,
              WideCharToMultiByte(CP_UTF8, 0, u"\u00c4bc\u20ac", -1, nullptr, 0, nullptr, nullptr));
    char narrow[8];
    EXPECT_EQ(8,
              WideCharToMultiByte(CP_UTF8, 0, u"\u00c4bc\u20ac", -1, narrow, 8, nullptr, nullptr));
    EXPECT_EQ(std::string("\xC3\x84"
                          "bc\xE2\x82\xAC"),
              std::string(narrow));
}

TEST(CodePage, ExplicitLengthDoesNotAddATerminator) {
    EXPECT_EQ(std::u16string(u"\u00c4"), ToWide("\xC3\x84"));
    EXPECT_EQ(std::string("\xF0\x9F\x98\x80"), ToBytes(u"\U0001F600"));
    EXPECT_EQ(std::u16string(u"\U0001F600"), ToWide("\xF0\x9F\x98\x80"));
}

TEST(CodePage, InvalidInputBecomesReplacementCharacter) {
    // A stray continuation byte, an overlong form, an encoded surrogate, a truncated sequence.
    EXPECT_EQ(std::u16string(u"a\uFFFDb"), ToWide("a\x80"
                                                  "b"));
    EXPECT_EQ(std::u16string(u"\uFFFD\uFFFD"), ToWide("\xC0\xAF"));
    EXPECT_EQ(std::u16string(u"\uFFFD\uFFFD\uFFFD"), ToWide("\xED\xA0\x80"));
    EXPECT_EQ(std::u16string(u"x\uFFFD"), ToWide("x\xE2\x82"));
    // Unpaired surrogates in UTF-16 become U+FFFD in UTF-8.
    EXPECT_EQ(std::string("a\xEF\xBF\xBD"), ToBytes(std::u16string(u"a") + char16_t(0xD800)));
    EXPECT_EQ(std::string("\xEF\xBF\xBDz"), ToBytes(std::u16string(1, char16_t(0xDC00)) + u"z"));
}

TEST(CodePage, StrictFlagsRejectInvalidInput) {
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, MB_ERR_INVALID_CHARS, "a\xFF", 2, nullptr, 0));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
    const WCHAR lone[] = {0xD800, 0};
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, WC_ERR_INVALID_CHARS, lone, -1, nullptr, 0, nullptr,
                                     nullptr));
    EXPECT_EQ(DWORD(ERROR_NO_UNICODE_TRANSLATION), GetLastError());
}

TEST(CodePage, SmallBufferFailsWithoutSplittingACharacter) {
    char narrow[4] = {'#', '#', '#', '#'};
    SetLastError(0);
    // "a€" needs 1 + 3 bytes plus the terminator.
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"a\u20ac", -1, narrow, 3, nullptr, nullptr));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ('#', narrow[3]);

    WCHAR wide[2];
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", -1, wide, 2));
    EXPECT_EQ(DWORD(ERROR_INSUFFICIENT_BUFFER), GetLastError());
}

TEST(CodePage, BadArgumentsFail) {
    WCHAR wide[4];
    SetLastError(0);
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, "abc", 0, wide, 4));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0, nullptr, -1, wide, 4));
    EXPECT_EQ(0, MultiByteToWideChar(1252, 0, "abc", -1, wide, 4));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_EQ(0, MultiByteToWideChar(CP_UTF8, 0x1, "abc", -1, wide, 4));
    EXPECT_EQ(DWORD(ERROR_INVALID_FLAGS), GetLastError());
    // UTF-8 has no default character.
    BOOL used = FALSE;
    EXPECT_EQ(0, WideCharToMultiByte(CP_UTF8, 0, u"abc", -1, nullptr, 0, "?", &used));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

TEST(LastError, IsPerThread) {
    SetLastError(42);
    DWORD seen = 1;
    std::thread([&] { seen = GetLastError(); }).join();
    EXPECT_EQ(DWORD(0), seen);
    EXPECT_EQ(DWORD(42), GetLastError());
}

} // namespace
