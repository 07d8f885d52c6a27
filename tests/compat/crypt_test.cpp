// CryptBinaryToStringA base64: RFC 4648 vectors, line breaks and Windows size conventions.
#include <windows.h>

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const BYTE* Bytes(const std::string& s) {
    return reinterpret_cast<const BYTE*>(s.data());
}

// Encodes the way callers do: ask for the size, then encode into exactly that much.
std::string Encode(const std::string& data, DWORD flags) {
    DWORD size = 0;
    EXPECT_TRUE(CryptBinaryToStringA(Bytes(data), DWORD(data.size()), flags, nullptr, &size));
    std::vector<char> text(size, '#');
    DWORD written = size;
    EXPECT_TRUE(
        CryptBinaryToStringA(Bytes(data), DWORD(data.size()), flags, text.data(), &written));
    EXPECT_EQ(size - 1, written) << "the terminator is counted only when asking for the size";
    EXPECT_EQ('\0', text[written]);
    return std::string(text.data(), written);
}

TEST(Base64, Rfc4648Vectors) {
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    EXPECT_EQ("", Encode("", flags));
    EXPECT_EQ("Zg==", Encode("f", flags));
    EXPECT_EQ("Zm8=", Encode("fo", flags));
    EXPECT_EQ("Zm9v", Encode("foo", flags));
    EXPECT_EQ("Zm9vYg==", Encode("foob", flags));
    EXPECT_EQ("Zm9vYmE=", Encode("fooba", flags));
    EXPECT_EQ("Zm9vYmFy", Encode("foobar", flags));
    // High bytes and the last two alphabet characters.
    EXPECT_EQ("+/8A", Encode(std::string("\xfb\xff\x00", 3), flags));
    EXPECT_EQ("SsO8cmdlbiBXZWnDnw==", Encode("J\xC3\xBCrgen Wei\xC3\x9F", flags));
}

TEST(Base64, LineBreaks) {
    const std::string data(100, 'a'); // 136 characters: lines of 64, 64 and 8
    const std::string flat = Encode(data, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF);
    ASSERT_EQ(136u, flat.size());
    EXPECT_EQ(std::string::npos, flat.find_first_of("\r\n"));

    const std::string crlf = Encode(data, CRYPT_STRING_BASE64);
    EXPECT_EQ(flat.substr(0, 64) + "\r\n" + flat.substr(64, 64) + "\r\n" + flat.substr(128) +
                  "\r\n",
              crlf);
    const std::string lf = Encode(data, CRYPT_STRING_BASE64 | CRYPT_STRING_NOCR);
    EXPECT_EQ(flat.substr(0, 64) + "\n" + flat.substr(64, 64) + "\n" + flat.substr(128) + "\n", lf);
    // Exactly one full line gets one break, not an empty extra line.
    EXPECT_EQ(Encode(std::string(48, 'a'), CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF) + "\r\n",
              Encode(std::string(48, 'a'), CRYPT_STRING_BASE64));
}

TEST(Base64, SizeConventionsAndErrors) {
    const std::string data = "foobar";
    const DWORD flags = CRYPT_STRING_BASE64 | CRYPT_STRING_NOCRLF;
    DWORD size = 0;
    ASSERT_TRUE(CryptBinaryToStringA(Bytes(data), 6, flags, nullptr, &size));
    EXPECT_EQ(9u, size);

    // Room for the text but not for its terminator.
    char buffer[16] = "untouched";
    size = 8;
    SetLastError(0);
    EXPECT_FALSE(CryptBinaryToStringA(Bytes(data), 6, flags, buffer, &size));
    EXPECT_EQ(DWORD(ERROR_MORE_DATA), GetLastError());
    EXPECT_EQ(9u, size);

    size = sizeof buffer;
    EXPECT_FALSE(CryptBinaryToStringA(nullptr, 6, flags, buffer, &size));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(CryptBinaryToStringA(Bytes(data), 6, flags, buffer, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
    EXPECT_FALSE(CryptBinaryToStringA(Bytes(data), 6, 0x4 /* hex */, buffer, &size));
    EXPECT_EQ(DWORD(ERROR_INVALID_PARAMETER), GetLastError());
}

} // namespace
