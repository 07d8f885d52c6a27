// Names that are not UTF-8: a POSIX file name or environment value may hold any bytes, and
// what the layer hands out as UTF-16 must name the same file or value again.
#include <windows.h>

#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

struct NameCase {
    const char* what;
    std::string bytes;       // the name as the system has it
    std::u16string expected; // what the layer gives for it
};

// Bytes outside valid UTF-8 come back one by one as U+DC00 + byte; valid UTF-8 is decoded.
const NameCase kNames[] = {
    {"Latin-1 byte", "caf\xE9", u"caf\xDCE9"},
    {"truncated sequence", "ok\xC3", u"ok\xDCC3"},
    {"encoded surrogate", "\xED\xB2\x80", u"\xDCED\xDCB2\xDC80"},
    {"above U+10FFFF", "\xF4\x90\x80\x80", u"\xDCF4\xDC90\xDC80\xDC80"},
    {"overlong slash", "a\xC0\xAF", u"a\xDCC0\xDCAF"},
    {"valid UTF-8",
     "gr\xC3\xBC\xC3\x9F"
     "e\xF0\x9F\x98\x80",
     u"gr\u00FC\u00DFe\U0001F600"},
};

const std::string kLayerLibrary = std::string(TEST_BINARY_DIR) + "/libwin32compat.so";

} // namespace

TEST(SystemNames, BytesThatAreNotUtf8RoundTripThroughFilesModulesAndEnvironment) {
    for (const NameCase& name : kNames) {
        SCOPED_TRACE(name.what);
        testsupport::TempDir dir;
        const std::string folder = dir.file(name.bytes);
        std::filesystem::create_directory(folder);
        const std::u16string wideFolder = testsupport::Utf16(dir.path()) + u"/" + name.expected;

        // Environment: the raw value comes back as expected and goes back byte for byte.
        setenv("COMPAT_NAME_PROBE", folder.c_str(), 1);
        WCHAR value[1024] = {};
        ASSERT_GT(GetEnvironmentVariableW(u"COMPAT_NAME_PROBE", value, 1024), 0u);
        EXPECT_EQ(wideFolder, std::u16string(value));
        ASSERT_TRUE(SetEnvironmentVariableW(u"COMPAT_NAME_PROBE", value));
        EXPECT_EQ(folder, std::getenv("COMPAT_NAME_PROBE"));
        unsetenv("COMPAT_NAME_PROBE");

        // Files: the UTF-16 name creates, finds and opens the file under the raw name.
        EXPECT_EQ(DWORD(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(wideFolder.c_str()));
        const std::u16string wideFile = wideFolder + u"/" + name.expected + u".txt";
        HANDLE file = CreateFileW(wideFile.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                  FILE_ATTRIBUTE_NORMAL, nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        CloseHandle(file);
        EXPECT_TRUE(std::filesystem::is_regular_file(folder + "/" + name.bytes + ".txt"));

        // Modules: the file name of a library loaded from there loads it again.
        const std::string library = folder + "/libprobe.so";
        std::filesystem::copy_file(kLayerLibrary, library);
        HMODULE module = LoadLibraryW((wideFolder + u"/libprobe.so").c_str());
        ASSERT_NE(nullptr, module);
        WCHAR moduleName[MAX_PATH] = {};
        ASSERT_GT(GetModuleFileNameW(module, moduleName, MAX_PATH), 0u);
        EXPECT_EQ(wideFolder + u"/libprobe.so", std::u16string(moduleName));
        EXPECT_NE(DWORD(INVALID_FILE_ATTRIBUTES), GetFileAttributesW(moduleName));
        FreeLibrary(module);
    }
}
