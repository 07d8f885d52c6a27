// The launcher's file functions: positioned reads from either end, the 64-bit image test and
// whole reads of small files.
#include "files/file_probe.h"
#include "platform/library_image.h"
#include "platform/small_file.h"

#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

using launcher::From;

std::string ElfHeader(char elfClass, unsigned machine) {
    std::string header = "\x7F"
                         "ELF";
    header += elfClass;
    header += '\x01'; // little-endian
    header.resize(18, '\0');
    header += static_cast<char>(machine & 0xFF);
    header += static_cast<char>(machine >> 8);
    return header + std::string(40, '\0');
}

bool Is64Bit(const std::string& bytes) {
    testsupport::TempDir dir;
    return launcher::Is64BitImage(testsupport::Utf16(dir.write("lib.so", bytes)).c_str());
}

} // namespace

TEST(FileProbe, ReadsAtPositionsFromEitherEndButNotBeforeTheStart) {
    testsupport::TempDir dir;
    const std::u16string path = testsupport::Utf16(dir.write("data", "0123456789"));
    const HANDLE file = launcher::OpenForReading(path.c_str());
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    char bytes[4] = {};
    EXPECT_TRUE(launcher::ReadAt(file, 2, From::Start, bytes, 3));
    EXPECT_EQ(std::string(bytes, 3), "234");
    EXPECT_TRUE(launcher::ReadAt(file, 4, From::End, bytes, 4));
    EXPECT_EQ(std::string(bytes, 4), "6789");
    EXPECT_TRUE(launcher::ReadAt(file, 10, From::End, bytes, 1));
    EXPECT_EQ(bytes[0], '0');
    EXPECT_FALSE(launcher::ReadAt(file, 11, From::End, bytes, 1));  // before the start
    EXPECT_FALSE(launcher::ReadAt(file, 8, From::Start, bytes, 4)); // past the end
    EXPECT_FALSE(launcher::ReadAt(file, uint64_t{1} << 40, From::End, bytes, 1));
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_EQ(launcher::OpenForReading(u"/nonexistent/file"), INVALID_HANDLE_VALUE);
    EXPECT_TRUE(launcher::PathExists(path.c_str()));
    EXPECT_TRUE(launcher::PathExists(testsupport::Utf16(dir.path()).c_str()));
    EXPECT_FALSE(launcher::PathExists(u"/nonexistent/file"));
}

TEST(FileProbe, SixtyFourBitImagesByTheirHeader) {
    EXPECT_TRUE(Is64Bit(ElfHeader(2, 62)));                // x86-64
    EXPECT_TRUE(Is64Bit(ElfHeader(2, 183)));               // AArch64
    EXPECT_FALSE(Is64Bit(ElfHeader(1, 3)));                // 32-bit x86
    EXPECT_FALSE(Is64Bit(ElfHeader(2, 3)));                // class and machine disagree
    EXPECT_FALSE(Is64Bit(ElfHeader(2, 62).substr(0, 19))); // cut short
    EXPECT_FALSE(Is64Bit("MZ" + std::string(200, '\0')));
    testsupport::TempDir dir;
    EXPECT_FALSE(launcher::Is64BitImage(testsupport::Utf16(dir.file("missing")).c_str()));
}

TEST(FileProbe, SmallFilesAreReadWholeWithinTheLimit) {
    testsupport::TempDir dir;
    std::vector<char> bytes;
    const std::string text = "<a>\r\n\x1A</a>";
    const std::u16string path = testsupport::Utf16(dir.write("small", text));
    ASSERT_TRUE(launcher::ReadSmallFile(path.c_str(), 100, bytes));
    EXPECT_EQ(std::string(bytes.begin(), bytes.end()), text); // no text mode here
    EXPECT_TRUE(launcher::ReadSmallFile(path.c_str(), long(text.size()), bytes));
    EXPECT_FALSE(launcher::ReadSmallFile(path.c_str(), long(text.size()) - 1, bytes));
    EXPECT_TRUE(bytes.empty());
    EXPECT_FALSE(
        launcher::ReadSmallFile(testsupport::Utf16(dir.write("empty", "")).c_str(), 100, bytes));
    EXPECT_FALSE(launcher::ReadSmallFile(testsupport::Utf16(dir.path()).c_str(), 100, bytes));
    EXPECT_FALSE(launcher::ReadSmallFile(u"/nonexistent/file", 100, bytes));
}
