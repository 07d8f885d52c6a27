// Modules: the Windows search order for bare names, exports, file names, and string
// resources read from the module's own file.
#include <windows.h>

#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

namespace {

const std::string kLayerLibrary = std::string(TEST_BINARY_DIR) + "/libwin32compat.so";

std::string CopyLibrary(const testsupport::TempDir& dir, const std::string& name) {
    const std::string target = dir.file(name);
    std::filesystem::create_directories(std::filesystem::path(target).parent_path());
    std::filesystem::copy_file(kLayerLibrary, target);
    return target;
}

class SavedPath {
public:
    SavedPath() : saved_(std::getenv("PATH") ? std::getenv("PATH") : "") {}
    ~SavedPath() { setenv("PATH", saved_.c_str(), 1); }

private:
    std::string saved_;
};

} // namespace

TEST(Modules, BareNamesAreSearchedInPathFoldersInOrder) {
    testsupport::TempDir dir;
    SavedPath saved;
    CopyLibrary(dir, "second/libcompat-probe.so");
    dir.write("first/libcompat-probe.so", "not an ELF image"); // found but not loadable
    setenv("PATH",
           (dir.file("missing") + ":" + dir.file("first") + "::" + dir.file("second")).c_str(), 1);
    HMODULE module = LoadLibraryW(u"libcompat-probe.so");
    ASSERT_NE(nullptr, module);
    WCHAR name[MAX_PATH];
    ASSERT_GT(GetModuleFileNameW(module, name, MAX_PATH), 0u);
    EXPECT_EQ(dir.file("second/libcompat-probe.so"), testsupport::Utf8(name));
    EXPECT_EQ(module, GetModuleHandleW(u"libcompat-probe.so"));
    // By an address inside the image: the same module.
    HMODULE byAddress = nullptr;
    const auto* inside = reinterpret_cast<LPCWSTR>(GetProcAddress(module, "GetLastError"));
    EXPECT_TRUE(GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS |
                                       GET_MODULE_HANDLE_EX_FLAG_UNCHANGED_REFCOUNT,
                                   inside, &byAddress));
    EXPECT_EQ(module, byAddress);
    const WCHAR onTheStack[] = u"x";
    EXPECT_FALSE(
        GetModuleHandleExW(GET_MODULE_HANDLE_EX_FLAG_FROM_ADDRESS, onTheStack, &byAddress));
    EXPECT_EQ(nullptr, byAddress);
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
    EXPECT_NE(nullptr, GetProcAddress(module, "GetLastError"));
    EXPECT_EQ(nullptr, GetProcAddress(module, "NoSuchExport"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PROC_NOT_FOUND), GetLastError());
    EXPECT_TRUE(FreeLibrary(module));

    setenv("PATH", dir.file("first").c_str(), 1);
    EXPECT_EQ(nullptr, LoadLibraryW(u"libcompat-probe-2.so"));
    EXPECT_EQ(static_cast<DWORD>(ERROR_MOD_NOT_FOUND), GetLastError());
}

TEST(Modules, NamesWithAPathAreLoadedFromThatPathOnly) {
    testsupport::TempDir dir;
    SavedPath saved;
    CopyLibrary(dir, "lib/libcompat-probe.so");
    setenv("PATH", dir.file("lib").c_str(), 1);
    EXPECT_EQ(nullptr, LoadLibraryW(testsupport::Utf16(dir.file("libcompat-probe.so")).c_str()));
    HMODULE module = LoadLibraryW(testsupport::Utf16(dir.file("lib/libcompat-probe.so")).c_str());
    ASSERT_NE(nullptr, module);
    FreeLibrary(module);
}

TEST(Modules, FileNameOfTheExecutableAndTruncation) {
    WCHAR name[MAX_PATH];
    const DWORD length = GetModuleFileNameW(nullptr, name, MAX_PATH);
    ASSERT_GT(length, 0u);
    EXPECT_EQ(u'/', name[0]);
    EXPECT_NE(nullptr, wcsstr(name, u"win32compat_tests"));
    EXPECT_EQ(length, GetModuleFileNameW(GetModuleHandleW(nullptr), name, MAX_PATH));

    WCHAR small[4];
    EXPECT_EQ(4u, GetModuleFileNameW(nullptr, small, 4));
    EXPECT_EQ(static_cast<DWORD>(ERROR_INSUFFICIENT_BUFFER), GetLastError());
    EXPECT_EQ(3u, wcslen(small));
}

TEST(StringResources, LoadStringReadsTheSectionOfTheModulesFile) {
    testsupport::TempDir dir;
    const std::string library = CopyLibrary(dir, "libstrings.so");
    // Entries: id 7 "old", id 1005 "22.0.0.2000", id 7 again "new" (the later one counts).
    auto entry = [](uint32_t id, const std::u16string& text) {
        std::string bytes;
        for (uint32_t v : {id, static_cast<uint32_t>(text.size())})
            for (int i = 0; i < 4; ++i)
                bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
        for (char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        return bytes;
    };
    const std::string table =
        dir.write("table.bin", entry(7, u"old") + entry(1005, u"22.0.0.2000") + entry(7, u"new"));
    const std::string command =
        "objcopy --add-section " WIN32COMPAT_STRING_TABLE_SECTION "=" + table + " " + library;
    ASSERT_EQ(0, std::system(command.c_str()));

    HMODULE module = LoadLibraryW(testsupport::Utf16(library).c_str());
    ASSERT_NE(nullptr, module);
    WCHAR buffer[20];
    EXPECT_EQ(11, LoadStringW(module, 1005, buffer, 20));
    EXPECT_EQ(u"22.0.0.2000", std::u16string(buffer));
    EXPECT_EQ(3, LoadStringW(module, 7, buffer, 20));
    EXPECT_EQ(u"new", std::u16string(buffer));
    EXPECT_EQ(5, LoadStringW(module, 1005, buffer, 6)); // cut to size-1
    EXPECT_EQ(u"22.0.", std::u16string(buffer));
    EXPECT_EQ(0, LoadStringW(module, 1006, buffer, 20));
    EXPECT_EQ(static_cast<DWORD>(ERROR_RESOURCE_NAME_NOT_FOUND), GetLastError());
    EXPECT_EQ(u"", std::u16string(buffer));
    FreeLibrary(module);

    // The test program itself carries no string table.
    EXPECT_EQ(0, LoadStringW(nullptr, 1005, buffer, 20));
}
