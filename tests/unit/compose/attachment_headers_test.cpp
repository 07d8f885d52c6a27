// What attachment parts say about their files: the type by extension, and file names in the
// forms readers decode (quoted ASCII; RFC 2231 alone), plus the transfer encoding of bodies.
#include "compose/attachment_headers.h"
#include "compose/mime_tree.h"

#include <gtest/gtest.h>

using namespace SMTPClientNS;

namespace {

TEST(AttachmentHeaders, TypeByLastExtension) {
    const std::pair<const char*, const char*> cases[] = {
        {"/tmp/report.PDF", "application/pdf"},
        {"archive.tar.gz", "application/gzip"},
        {"photo.jpeg", "image/jpeg"},
        {"notes.txt", "text/plain"},
        {"data.bin", "application/octet-stream"},
        {"noextension", "application/octet-stream"},
        {"/a.pdf/noextension", "application/octet-stream"},
    };
    for (const auto& [path, type] : cases)
        EXPECT_STREQ(type, ContentTypeForFile(path)) << path;
}

TEST(AttachmentHeaders, FileNamesReadersDecode) {
    std::string accents, sections;
    for (int i = 0; i < 30; ++i) {
        accents += "\xC3\xA9";
        sections += "%C3%A9";
    }
    const std::pair<std::string, std::string> cases[] = {
        {"note.txt", "Content-Disposition: attachment; filename=\"note.txt\""},
        {"a\"b\\c.txt", "Content-Disposition: attachment; filename=\"a\\\"b\\\\c.txt\""},
        {"Gr\xC3\xBC\xC3\x9F"
         "e 1.pdf",
         "Content-Disposition: attachment;\r\n filename*=utf-8''Gr%C3%BC%C3%9Fe%201.pdf"},
        // Long names in numbered sections of whole characters, at most 78 characters a line.
        {accents + ".txt",
         "Content-Disposition: attachment;\r\n filename*0*=utf-8''" + sections.substr(0, 54) +
             ";\r\n filename*1*=" + sections.substr(54, 60) + ";\r\n filename*2*=" +
             sections.substr(114, 60) + ";\r\n filename*3*=" + sections.substr(174) + ".txt"},
    };
    for (const auto& [name, header] : cases) {
        EXPECT_EQ(header, AttachmentDisposition(name));
        // An inline image names its file the same way.
        EXPECT_EQ("Content-Disposition: inline" + header.substr(31), InlineDisposition(name));
    }
    EXPECT_EQ("Content-Disposition: inline", InlineDisposition(""));
}

TEST(BodyText, TransferEncodingOnlyWhereNeeded) {
    const std::string longLine(999, 'x');
    const std::pair<std::string, const char*> cases[] = {
        {"ordinary\r\ntext\r\n", "7bit"},
        {std::string(998, 'x') + "\r\n" + std::string(998, 'y'), "7bit"},
        {"\x1B$B$3$s\x1B(B\r\n", "7bit"}, // ISO-2022-JP
        {"Gr\xC3\xBC\xC3\x9F"
         "e\r\n",
         nullptr},
        {"\xE9t\xE9", nullptr},
        {std::string("a\0b\0", 4), "base64"},
        {"short\r\n" + longLine + "\r\nshort", "quoted-printable"},
        {"short\r\n" + longLine, "quoted-printable"},
    };
    for (const auto& [bytes, encoding] : cases) {
        const char* chosen = BodyTransferEncoding(bytes.data(), bytes.size());
        EXPECT_STREQ(encoding, chosen) << bytes.substr(0, 20);
    }
}

} // namespace
