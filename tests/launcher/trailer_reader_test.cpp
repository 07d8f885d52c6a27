// The trailer reader: marks before the certificate table of a signed PE layout, at the end
// of an ELF file, in any letter case; wrong or missing marks.
#include "trailer/trailer_reader.h"

#include "temp_dir.h"
#include "utf16.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::string Trailer(const std::string& first, const std::string& second) {
    std::string t(512, '\0');
    t.replace(0, 4, first);
    t.replace(4, 4, "ABCD");
    t.replace(8, 4, second);
    return t;
}

void PutLe32(std::string& bytes, size_t at, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes[at + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// A PE file layout: DOS header, NT headers at 0x80 with the given certificate-table size,
// some body, then `tail` (trailer and certificate table as the test arranges them).
std::string SignedLayout(uint32_t certificateSize, const std::string& tail) {
    std::string file(0x80 + 264 + 1000, '\x11');
    file[0] = 'M';
    file[1] = 'Z';
    PutLe32(file, 60, 0x80);
    file.replace(0x80, 4, std::string("PE\0\0", 4));
    PutLe32(file, 0x80 + 172, certificateSize);
    return file + tail;
}

bool HasTrailer(const std::string& bytes) {
    testsupport::TempDir dir;
    return launcher::FileHasLauncherTrailer(testsupport::Utf16(dir.write("app", bytes)).c_str());
}

} // namespace

TEST(TrailerReader, UnsignedFilesEndInTheTrailer) {
    const std::string elf = "\x7F"
                            "ELF" +
                            std::string(3000, '\x22');
    EXPECT_TRUE(HasTrailer(elf + Trailer("TRL*", "PSA*")));
    EXPECT_TRUE(HasTrailer(elf + Trailer("TRL*", "PCA*")));
    EXPECT_TRUE(HasTrailer(elf + Trailer("trl*", "psa*")));
    EXPECT_FALSE(HasTrailer(elf + Trailer("TRL*", "PXA*")));
    EXPECT_FALSE(HasTrailer(elf + Trailer("TRX*", "PCA*")));
    EXPECT_FALSE(HasTrailer(elf + Trailer("TRL*", "PCA*") + "x")); // not at the end
    EXPECT_FALSE(HasTrailer(Trailer("TRL*", "PCA*").substr(1)));   // shorter than a trailer
    EXPECT_TRUE(HasTrailer(Trailer("TRL*", "PCA*")));              // exactly a trailer
    EXPECT_FALSE(HasTrailer(""));
}

TEST(TrailerReader, SignedFilesKeepTheTrailerBeforeTheirCertificateTable) {
    const std::string certificate(0x300, '\x33');
    EXPECT_TRUE(HasTrailer(SignedLayout(0x300, Trailer("TRL*", "PCA*") + certificate)));
    EXPECT_TRUE(HasTrailer(SignedLayout(0x300, Trailer("Trl*", "pSa*") + certificate)));
    // The same bytes after the certificate table do not count.
    EXPECT_FALSE(HasTrailer(SignedLayout(0x300, certificate + Trailer("TRL*", "PCA*"))));
    // A certificate size larger than the file: no trailer, no read before the start.
    EXPECT_FALSE(HasTrailer(SignedLayout(0x7FFFFFF0, Trailer("TRL*", "PCA*"))));
    // A damaged signature makes the certificate size 0: the last 512 bytes count.
    std::string damaged = SignedLayout(0x300, certificate + Trailer("TRL*", "PCA*"));
    damaged[0x81] = 'X';
    EXPECT_TRUE(HasTrailer(damaged));
}

TEST(TrailerReader, MissingFileHasNoTrailer) {
    EXPECT_FALSE(launcher::FileHasLauncherTrailer(u"/nonexistent/launcher"));
}
