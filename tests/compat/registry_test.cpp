// The registry file behind HKEY_LOCAL_MACHINE: both export formats and encodings, names
// without regard to case, byte bounds with ERROR_MORE_DATA.
#include <windows.h>

#include "temp_dir.h"

#include <gtest/gtest.h>

#include <sys/stat.h>

#include <cstdlib>
#include <string>

namespace {

class RegistryTest : public testing::Test {
protected:
    void UseFile(const std::string& bytes) {
        setenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE, dir_.write("registry.reg", bytes).c_str(), 1);
    }
    void TearDown() override { unsetenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE); }

    // The REG_SZ value read with a buffer of `bytes` bytes; "<rc>" on failure.
    std::u16string Read(LPCWSTR key, LPCWSTR name, DWORD bytes = 520) {
        HKEY opened = nullptr;
        LSTATUS rc =
            RegOpenKeyExW(HKEY_LOCAL_MACHINE, key, 0, KEY_QUERY_VALUE | KEY_WOW64_64KEY, &opened);
        if (rc != ERROR_SUCCESS)
            return u"<open " + std::u16string(1, char16_t(u'0' + rc % 10)) + u">";
        WCHAR buffer[260] = {};
        DWORD size = bytes;
        DWORD type = 0;
        rc =
            RegQueryValueExW(opened, name, nullptr, &type, reinterpret_cast<LPBYTE>(buffer), &size);
        RegCloseKey(opened);
        if (rc == ERROR_MORE_DATA)
            return u"<more data>";
        if (rc != ERROR_SUCCESS)
            return u"<absent>";
        EXPECT_EQ(static_cast<DWORD>(REG_SZ), type);
        EXPECT_EQ((wcslen(buffer) + 1) * 2, size);
        return buffer;
    }

    testsupport::TempDir dir_;
};

const char kExport[] = "Windows Registry Editor Version 5.00\r\n"
                       "\r\n"
                       "; installed runtimes\r\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Meridot\\Corvane Runtime]\r\n"
                       "\"RuntimeVersion\"=\"22.0.0.1900,22.0.0.2100,\"\r\n"
                       "\"Count\"=dword:00000002\r\n"
                       "\"Blob\"=hex:01,02,\\\r\n"
                       "  03,04\r\n"
                       "@=\"default\"\r\n"
                       "\r\n"
                       "[HKEY_LOCAL_MACHINE\\SOFTWARE\\Meridot\\Corvane Runtime\\22.0.0.2100]\r\n"
                       "\"Location\"=\"/opt/corvane \\\"rt\\\" \\\\ 2100\"\r\n";

} // namespace

TEST_F(RegistryTest, ReadsStringValuesWithoutRegardToCase) {
    UseFile(kExport);
    EXPECT_EQ(u"22.0.0.1900,22.0.0.2100,",
              Read(u"Software\\meridot\\CORVANE RUNTIME", u"runtimeversion"));
    EXPECT_EQ(u"/opt/corvane \"rt\" \\ 2100",
              Read(u"Software\\Meridot\\Corvane Runtime\\22.0.0.2100", u"Location"));
    EXPECT_EQ(u"default", Read(u"Software\\Meridot\\Corvane Runtime", nullptr));
    EXPECT_EQ(u"<absent>", Read(u"Software\\Meridot\\Corvane Runtime", u"Location"));
    EXPECT_EQ(u"<absent>", Read(u"Software\\Meridot", u"RuntimeVersion")); // parent key exists
    EXPECT_EQ(u"<open 2>", Read(u"Software\\Meridot\\Corvane\\22.0", u"Location"));
}

TEST_F(RegistryTest, RegEdit4AndUtf16FilesAreRead) {
    UseFile("REGEDIT4\n\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"V\"=\"x\"\n");
    EXPECT_EQ(u"x", Read(u"Software\\A", u"V"));

    std::string utf16 = "\xFF\xFE";
    for (const char c : std::string(kExport)) {
        utf16 += c;
        utf16 += '\0';
    }
    UseFile(utf16);
    EXPECT_EQ(u"22.0.0.1900,22.0.0.2100,",
              Read(u"Software\\Meridot\\Corvane Runtime", u"RuntimeVersion"));

    UseFile("not a registry\n[HKEY_LOCAL_MACHINE\\Software\\A]\n\"V\"=\"x\"\n");
    EXPECT_EQ(u"<open 2>", Read(u"Software\\A", u"V"));
    unsetenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE);
    setenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE, dir_.file("missing.reg").c_str(), 1);
    EXPECT_EQ(u"<open 2>", Read(u"Software\\A", u"V"));
}

// What is not a regular file counts as absent, and reading it must not block or run forever.
TEST_F(RegistryTest, SpecialFilesUnderTheNameCountAsAbsent) {
    const std::string fifo = dir_.file("fifo.reg");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    const std::string folder = dir_.file("folder.reg");
    ASSERT_EQ(0, mkdir(folder.c_str(), 0700));
    for (const std::string& special : {fifo, folder, std::string("/dev/zero")}) {
        SCOPED_TRACE(special);
        setenv(WIN32COMPAT_REGISTRY_FILE_VARIABLE, special.c_str(), 1);
        EXPECT_EQ(u"<open 2>", Read(u"Software\\A", u"V"));
    }
}

TEST_F(RegistryTest, ValuesLargerThanTheBufferGiveMoreData) {
    UseFile("REGEDIT4\n[HKEY_LOCAL_MACHINE\\K]\n\"V\"=\"abcd\"\n\"D\"=dword:0000002a\n");
    EXPECT_EQ(u"abcd", Read(u"K", u"V", 10));       // 4 units and the terminator: 10 bytes
    EXPECT_EQ(u"<more data>", Read(u"K", u"V", 9)); // no room for the terminator

    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"k", 0, KEY_QUERY_VALUE, &key));
    DWORD size = 0;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"V", nullptr, nullptr, nullptr, &size));
    EXPECT_EQ(10u, size);
    DWORD number = 0;
    DWORD type = 0;
    size = sizeof number;
    EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExW(key, u"D", nullptr, &type,
                                              reinterpret_cast<LPBYTE>(&number), &size));
    EXPECT_EQ(static_cast<DWORD>(REG_DWORD), type);
    EXPECT_EQ(42u, number);
    EXPECT_EQ(ERROR_SUCCESS, RegCloseKey(key));
}
