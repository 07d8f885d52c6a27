// The trace's line formatter, its records in memory and in the temporary file, and the
// permissions of the log file.
#include "log/send_log.h"
#include "log/trace_formatter.h"
#include "log/trace_records.h"
#include "temp_dir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <random>
#include <string>

#include <sys/stat.h>

using namespace SMTPClientNS;

namespace {

// The formatter as first written: byte by byte, each step as the log format describes it.
std::string ReferenceFormat(const std::string& label, const std::string& bytes, bool text) {
    const auto* data = reinterpret_cast<const unsigned char*>(bytes.data());
    const long long total = static_cast<long long>(bytes.size());
    const long long width = text ? 96 : 16;
    std::string out;
    char piece[8];
    for (long long i = 0; i < total; i += width) {
        out += label + ": ";
        if (!text) {
            for (long long c = 0; c < width; ++c) {
                if (i + c < total) {
                    std::snprintf(piece, sizeof piece, "%02x ", data[i + c]);
                    out += piece;
                } else {
                    out += "    ";
                }
            }
        }
        for (long long c = 0; c < width && i + c < total; ++c) {
            if (text && i + c + 1 < total && data[i + c] == '\r' && data[i + c + 1] == '\n') {
                i = i + c + 2 - width;
                break;
            }
            const unsigned char byte = data[i + c];
            out += (byte >= 0x20 && byte <= 0x7F) ? char(byte) : '.';
            if (text && i + c + 2 < total && data[i + c + 1] == '\r' && data[i + c + 2] == '\n') {
                i = i + c + 3 - width;
                break;
            }
        }
        out += "\n";
    }
    return out;
}

std::string Format(const std::string& bytes, bool text) {
    std::string out;
    FormatTraceData("C", reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size(),
                    text ? 1 : 0, out);
    return out;
}

// Open temporary trace files of this process (they have no name left, but a descriptor).
int OpenSpillFiles() {
    int count = 0;
    for (const auto& entry : std::filesystem::directory_iterator("/proc/self/fd")) {
        std::error_code error;
        const auto target = std::filesystem::read_symlink(entry.path(), error);
        if (!error && target.string().find("larkmail-trace-") != std::string::npos)
            ++count;
    }
    return count;
}

TEST(TraceFormatter, MatchesTheByteByByteFormat) {
    const std::string line96(96, 'a');
    std::vector<std::string> inputs = {
        "",
        "\r",
        "\n",
        "\r\n",
        "\r\n\r\n",
        "\r\r\n",
        "a\r",
        "ab\r\n",
        "\r\nab",
        line96 + "\r\n" + "next\r\n",
        line96 + "x\r\n",
        std::string(95, 'b') + "\r\n\r\n",
        line96 + "\r",
        line96 + line96 + "\r\n",
        std::string("\x00\x1f\x7f\x80\xff\t", 6),
    };
    // Blocks of the letters that matter most: line ends, printable and not.
    std::mt19937 random(7);
    const char alphabet[] = {'\r', '\n', 'x', '.', '\x7f', '\x80', '\0', ' '};
    for (int n = 0; n < 300; ++n) {
        std::string block(random() % 400, ' ');
        for (char& c : block)
            c = alphabet[random() % sizeof alphabet];
        inputs.push_back(block);
    }
    for (const std::string& input : inputs) {
        EXPECT_EQ(ReferenceFormat("C", input, true), Format(input, true)) << input.size();
        EXPECT_EQ(ReferenceFormat("C", input, false), Format(input, false)) << input.size();
    }
}

TEST(TraceRecords, KeepEveryByteInOrderAcrossTheMemoryBound) {
    const struct {
        const char* name;
        size_t bound;
        std::vector<size_t> sizes;
        bool spilled;
        const char* folder; // the temporary folder, when not the default
    } cases[] = {
        {"all in memory", 1000, {10, 0, 200, 790}, false, nullptr},
        {"bound reached by the second record", 100, {60, 60, 5, 0, 300}, true, nullptr},
        {"first record larger than the bound", 100, {250, 1, 2}, true, nullptr},
        {"pieces larger than one read", 10, {3 * 1024 * 1024, 7, 2 * 1024 * 1024}, true, nullptr},
        {"no temporary file possible", 10, {60, 70, 300000, 5}, false, "/nonexistent/folder"},
    };
    for (const auto& c : cases) {
        const char* folder = std::getenv("TMPDIR");
        const std::string saved = folder ? folder : "";
        if (c.folder)
            setenv("TMPDIR", c.folder, 1);
        TraceRecords records(c.bound);
        std::string expected;
        char letter = 'a';
        // Text records alternate with data records, which read back as their lines.
        for (size_t i = 0; i < c.sizes.size(); ++i) {
            std::string record(c.sizes[i], letter++);
            for (size_t at = 50; at + 1 < record.size(); at += 50)
                record.replace(at, 2, "\r\n");
            if (i % 2 == 0) {
                records.Add(record);
                expected += record;
            } else {
                records.AddData('C', 1, reinterpret_cast<const unsigned char*>(record.data()),
                                record.size());
                expected += Format(record, true);
            }
        }
        if (c.folder && folder)
            setenv("TMPDIR", saved.c_str(), 1);
        else if (c.folder)
            unsetenv("TMPDIR");
        EXPECT_EQ(c.spilled, records.Spilled()) << c.name;
        EXPECT_EQ(c.spilled ? 1 : 0, OpenSpillFiles()) << c.name;
        // Streamed twice (two log writes) and then moved out: the same bytes each time.
        for (int pass = 0; pass < 2; ++pass) {
            std::string streamed;
            records.Stream([&](const char* data, size_t size) {
                streamed.append(data, size);
                return true;
            });
            EXPECT_EQ(expected, streamed) << c.name;
        }
        LineList moved;
        records.MoveTo(moved);
        std::string joined;
        for (const std::string& record : moved)
            joined += record;
        EXPECT_EQ(expected, joined) << c.name;
        EXPECT_FALSE(records.Spilled()) << c.name;
        EXPECT_EQ(0, OpenSpillFiles()) << c.name;
    }
}

TEST(SendLogFile, NewFilesAreForTheOwnerOnlyAndExistingOnesKeepTheirMode) {
    testsupport::TempDir folder;
    const struct {
        const char* name;
        bool exists;
        bool append;
        mode_t expected;
    } cases[] = {
        {"new, append", false, true, 0600},
        {"new, replace", false, false, 0600},
        {"existing, append", true, true, 0644},
        {"existing, replace", true, false, 0644},
    };
    SendTrace trace;
    TraceBinding bound(trace);
    int lastResult = 0;
    trace.AddSummary(lastResult, 0);
    for (const auto& c : cases) {
        const std::string path = folder.file(c.name);
        if (c.exists) {
            folder.write(c.name, "before\n");
            ASSERT_EQ(0, chmod(path.c_str(), 0644));
        }
        const std::u16string wide(path.begin(), path.end());
        trace.WriteLog(wide.c_str(), c.append);
        struct stat info;
        ASSERT_EQ(0, stat(path.c_str(), &info)) << c.name;
        EXPECT_EQ(c.expected, info.st_mode & 0777) << c.name;
        const std::string content = testsupport::ReadFileBytes(path);
        EXPECT_EQ(c.exists && c.append, content.rfind("before\n", 0) == 0) << c.name;
        EXPECT_NE(std::string::npos, content.find("Email sent successfully!")) << c.name;
    }
}

} // namespace
