// File handles: dispositions, sharing, access rights, positions and error codes as on Windows.
#include <windows.h>

#include <gtest/gtest.h>
#include <temp_dir.h>
#include <utf16.h>

#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

using testsupport::TempDir;
using testsupport::Utf16;

HANDLE Open(const std::string& path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(Utf16(path).c_str(), access, share, nullptr, disposition,
                       FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadAll(HANDLE file) {
    char buffer[256];
    DWORD read = 0;
    EXPECT_TRUE(ReadFile(file, buffer, sizeof buffer, &read, nullptr));
    return std::string(buffer, read);
}

bool Write(HANDLE file, const std::string& bytes) {
    DWORD written = 0;
    return WriteFile(file, bytes.data(), DWORD(bytes.size()), &written, nullptr) &&
           written == bytes.size();
}

TEST(File, DispositionsCreateOpenAndTruncate) {
    TempDir dir;
    const std::string path = dir.file("a.txt");

    HANDLE file = Open(path, GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(Write(file, "hello"));
    EXPECT_EQ(0u, SetFilePointer(file, 0, nullptr, FILE_BEGIN));
    EXPECT_EQ("hello", ReadAll(file));
    LARGE_INTEGER size{};
    EXPECT_TRUE(GetFileSizeEx(file, &size));
    EXPECT_EQ(5, size.QuadPart);
    EXPECT_TRUE(CloseHandle(file));

    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, 0, CREATE_NEW));
    EXPECT_EQ(DWORD(ERROR_FILE_EXISTS), GetLastError());

    // OPEN_ALWAYS keeps the content and reports that the file existed.
    file = Open(path, GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), GetLastError());
    EXPECT_EQ("hello", ReadAll(file));
    CloseHandle(file);

    // CREATE_ALWAYS truncates an existing file and reports it; a new one reports 0.
    file = Open(path, GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(DWORD(ERROR_ALREADY_EXISTS), GetLastError());
    CloseHandle(file);
    EXPECT_EQ("", testsupport::ReadFileBytes(path));
    file = Open(dir.file("b.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(DWORD(ERROR_SUCCESS), GetLastError());
    CloseHandle(file);
    file = Open(dir.file("c.txt"), GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_EQ(DWORD(ERROR_SUCCESS), GetLastError());
    CloseHandle(file);
}

TEST(File, MissingFileAndMissingFolderAreToldApart) {
    TempDir dir;
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(dir.file("none.txt"), GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(dir.file("no/x.txt"), GENERIC_WRITE, 0, CREATE_ALWAYS));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open("", GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());

    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Utf16(dir.file("none")).c_str()));
    EXPECT_EQ(DWORD(ERROR_FILE_NOT_FOUND), GetLastError());
    EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesW(Utf16(dir.file("no/x")).c_str()));
    EXPECT_EQ(DWORD(ERROR_PATH_NOT_FOUND), GetLastError());
}

TEST(File, FoldersHaveAttributesButCannotBeOpened) {
    TempDir dir;
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_DIRECTORY), GetFileAttributesW(Utf16(dir.path()).c_str()));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_NORMAL), GetFileAttributesW(Utf16(dir.write("f", "x")).c_str()));
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(dir.path(), GENERIC_READ, 0, OPEN_EXISTING));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(dir.path(), GENERIC_WRITE, 0, OPEN_ALWAYS));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
}

TEST(File, FifosAreRefusedWithoutWaitingForTheOtherEnd) {
    TempDir dir;
    const std::string fifo = dir.file("pipe");
    ASSERT_EQ(0, mkfifo(fifo.c_str(), 0600));
    alarm(20); // a blocking open would hang here; the alarm ends the test program instead
    for (const DWORD access : {GENERIC_READ, GENERIC_WRITE, GENERIC_READ | GENERIC_WRITE}) {
        for (const DWORD disposition : {OPEN_EXISTING, OPEN_ALWAYS, CREATE_ALWAYS}) {
            EXPECT_EQ(INVALID_HANDLE_VALUE, Open(fifo, access, 0, disposition));
            EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
        }
    }
    alarm(0);
    // A regular file opened the same way still reads to its end.
    const std::string file = dir.write("f", "content");
    const HANDLE handle = Open(file, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, handle);
    EXPECT_EQ("content", ReadAll(handle));
    EXPECT_TRUE(CloseHandle(handle));
}

TEST(File, UnicodePathsReachTheFileSystemAsUtf8) {
    TempDir dir;
    const std::string path = dir.file("Gr\xC3\xBC\xC3\x9F"
                                      "e \xE2\x82\xAC.txt");
    HANDLE file = Open(path, GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(Write(file, "x"));
    CloseHandle(file);
    EXPECT_EQ("x", testsupport::ReadFileBytes(path));
}

TEST(File, ShareModesDecideWhetherASecondOpenSucceeds) {
    TempDir dir;
    const std::string path = dir.write("s.txt", "content");

    // Share mode 0 is exclusive; a refused CREATE_ALWAYS does not truncate.
    HANDLE exclusive = Open(path, GENERIC_READ, 0, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, exclusive);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS));
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), GetLastError());
    EXPECT_EQ("content", testsupport::ReadFileBytes(path));
    CloseHandle(exclusive);

    // Two readers that share reading coexist; a writer then needs write sharing from both.
    HANDLE first = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    HANDLE second = Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, first);
    ASSERT_NE(INVALID_HANDLE_VALUE, second);
    EXPECT_EQ(INVALID_HANDLE_VALUE,
              Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING));
    EXPECT_EQ(DWORD(ERROR_SHARING_VIOLATION), GetLastError());
    CloseHandle(first);
    CloseHandle(second);

    // A writer that shares reading admits readers only if they share writing.
    HANDLE writer = Open(path, GENERIC_WRITE, FILE_SHARE_READ, OPEN_EXISTING);
    ASSERT_NE(INVALID_HANDLE_VALUE, writer);
    EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING));
    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, reader);
    CloseHandle(reader);
    CloseHandle(writer);

    // After all handles are closed the file can be opened exclusively again.
    exclusive = Open(path, GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(INVALID_HANDLE_VALUE, exclusive);
    CloseHandle(exclusive);
}

TEST(File, ReadAndWriteNeedTheMatchingAccess) {
    TempDir dir;
    const std::string path = dir.write("r.txt", "abc");
    char buffer[4];
    DWORD count = 99;

    HANDLE reader = Open(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_FALSE(WriteFile(reader, "x", 1, &count, nullptr));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(0u, count);
    // Reading at the end of the file succeeds with nothing read.
    EXPECT_EQ("abc", ReadAll(reader));
    count = 99;
    EXPECT_TRUE(ReadFile(reader, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(0u, count);

    HANDLE writer = Open(path, GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_FALSE(ReadFile(writer, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    CloseHandle(writer);
    CloseHandle(reader);

    if (geteuid() != 0) { // root reads every file
        chmod(path.c_str(), 0);
        EXPECT_EQ(INVALID_HANDLE_VALUE, Open(path, GENERIC_READ, 0, OPEN_EXISTING));
        EXPECT_EQ(DWORD(ERROR_ACCESS_DENIED), GetLastError());
    }
}

TEST(File, FilePointerMovesLikeWindows) {
    TempDir dir;
    HANDLE file = Open(dir.file("p.bin"), GENERIC_READ | GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(Write(file, "0123456789"));

    EXPECT_EQ(7u, SetFilePointer(file, -3, nullptr, FILE_END));
    EXPECT_EQ("789", ReadAll(file));
    EXPECT_EQ(2u, SetFilePointer(file, 2, nullptr, FILE_BEGIN));
    EXPECT_EQ(5u, SetFilePointer(file, 3, nullptr, FILE_CURRENT));
    EXPECT_EQ("56789", ReadAll(file));

    // A negative position fails and leaves the position where it was.
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, -11, nullptr, FILE_END));
    EXPECT_EQ(DWORD(ERROR_NEGATIVE_SEEK), GetLastError());
    EXPECT_EQ(10u, SetFilePointer(file, 0, nullptr, FILE_CURRENT));

    // Past the end is allowed; a later write extends the file.
    EXPECT_EQ(12u, SetFilePointer(file, 2, nullptr, FILE_END));
    EXPECT_TRUE(Write(file, "!"));
    LARGE_INTEGER size{};
    EXPECT_TRUE(GetFileSizeEx(file, &size));
    EXPECT_EQ(13, size.QuadPart);

    // 64-bit positions go through the high part; a low part of all ones is a valid position,
    // told from a failure by the last error.
    LONG high = 1;
    EXPECT_EQ(5u, SetFilePointer(file, 5, &high, FILE_BEGIN));
    EXPECT_EQ(1, high);
    high = 0;
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, -1, &high, FILE_BEGIN));
    EXPECT_EQ(DWORD(ERROR_SUCCESS), GetLastError());
    EXPECT_EQ(0, high);
    high = -1;
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, -1, &high, FILE_BEGIN));
    EXPECT_EQ(DWORD(ERROR_NEGATIVE_SEEK), GetLastError());
    // Without a high part a position beyond 32 bits cannot be reported, so the call fails.
    EXPECT_EQ(INVALID_SET_FILE_POINTER, SetFilePointer(file, 0x7FFFFFFF, nullptr, FILE_CURRENT));
    EXPECT_NE(DWORD(ERROR_SUCCESS), GetLastError());
    CloseHandle(file);
}

TEST(File, UnknownHandlesAreRejected) {
    TempDir dir;
    HANDLE file = Open(dir.file("h"), GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(INVALID_HANDLE_VALUE, file);
    EXPECT_TRUE(CloseHandle(file));
    EXPECT_FALSE(CloseHandle(file));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    EXPECT_FALSE(CloseHandle(INVALID_HANDLE_VALUE));
    DWORD count = 0;
    char byte = 0;
    EXPECT_FALSE(ReadFile(file, &byte, 1, &count, nullptr));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
    LARGE_INTEGER size{};
    EXPECT_FALSE(GetFileSizeEx(nullptr, &size));
    EXPECT_EQ(DWORD(ERROR_INVALID_HANDLE), GetLastError());
}

} // namespace
