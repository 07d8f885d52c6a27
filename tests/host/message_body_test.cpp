// Bodies loaded from files, and HTML whose images become inline images.
#include "library_objects.h"

#include <gtest/gtest.h>
#include <temp_dir.h>
#include <utf16.h>

#include <fcntl.h>
#include <string>
#include <unistd.h>

namespace {

using namespace SMTPClientNS;
using testsupport::NewMessage;
using testsupport::Str;
using testsupport::TempDir;
using testsupport::Utf16;

TEST(MessageBody, EachKindFillsItsBodyInItsCodePage) {
    TempDir dir;
    // ANSI is UTF-8 on this platform; the text ends at the first zero byte.
    const std::string bytes = std::string("Gr\xC3\xBC\xC3\x9F"
                                          "e \xE2\x82\xAC") +
                              '\0' + "tail";
    const std::u16string file = Utf16(dir.write("body.txt", bytes));
    const std::u16string expected = u"Gr\u00fc\u00dfe \u20ac";
    for (BodyFileKind kind : {BODY_TEXT_ANSI, BODY_TEXT_UTF8}) {
        auto message = NewMessage();
        message->LoadBodyFromFile(file.c_str(), kind);
        EXPECT_EQ(expected, Str(message->GetTextBody())) << kind;
        EXPECT_EQ(u"", Str(message->GetHtmlBody()));
    }
    for (BodyFileKind kind : {BODY_HTML_ANSI, BODY_HTML_UTF8}) {
        auto message = NewMessage();
        message->LoadBodyFromFile(file.c_str(), kind);
        EXPECT_EQ(expected, Str(message->GetHtmlBody())) << kind;
        EXPECT_EQ(u"", Str(message->GetTextBody()));
    }
    auto message = NewMessage();
    message->LoadBodyFromFile(Utf16(dir.write("bad.txt", "a\xFF"
                                                         "b"))
                                  .c_str(),
                              BODY_TEXT_UTF8);
    EXPECT_EQ(u"a\uFFFDb", Str(message->GetTextBody()));
}

TEST(MessageBody, UnreadableEmptyOrUnknownInputChangesNothing) {
    TempDir dir;
    const std::string image = dir.write("i.png", "png");
    const std::u16string body = Utf16(dir.write("b.txt", "new"));
    const std::u16string empty = Utf16(dir.write("empty.txt", ""));
    const std::u16string zero = Utf16(dir.write("zero.txt", std::string("\0abc", 4)));
    auto message = NewMessage();
    message->SetTextBody(u"old text");
    const std::u16string html = u"<img src=\"" + Utf16(image) + u"\">";
    message->SetHtmlBody(html.c_str());

    message->LoadBodyFromFile(Utf16(dir.file("missing.txt")).c_str(), BODY_TEXT_UTF8);
    message->LoadBodyFromFile(nullptr, BODY_TEXT_UTF8);
    message->LoadBodyFromFile(Utf16(dir.path()).c_str(), BODY_TEXT_UTF8);
    message->LoadBodyFromFile(body.c_str(), BodyFileKind(6));
    message->LoadBodyFromFile(body.c_str(), BodyFileKind(-1));
    message->LoadBodyFromFile(empty.c_str(), BODY_TEXT_UTF8);
    message->LoadBodyFromFile(zero.c_str(), BODY_TEXT_ANSI);
    // An empty file does not re-run the image rewrite on the body already there.
    message->LoadBodyFromFile(empty.c_str(), BODY_HTML_EMBED_IMAGES_UTF8);
    EXPECT_EQ(u"old text", Str(message->GetTextBody()));
    EXPECT_EQ(html, Str(message->GetHtmlBody()));
    EXPECT_EQ(0, message->GetInlineImageCount());
}

TEST(MessageBody, FilesOf4GiBOrMoreAreRefused) {
    TempDir dir;
    const std::string path = dir.write("huge.txt", "Hello");
    const int fd = open(path.c_str(), O_WRONLY);
    ASSERT_GE(fd, 0);
    const bool sparse = ftruncate(fd, (off_t(1) << 32) + 5) == 0;
    close(fd);
    if (!sparse)
        GTEST_SKIP() << "the file system refuses a sparse 4 GiB file";
    auto message = NewMessage();
    message->SetTextBody(u"kept");
    message->LoadBodyFromFile(Utf16(path).c_str(), BODY_TEXT_UTF8);
    EXPECT_EQ(u"kept", Str(message->GetTextBody()));
}

TEST(MessageBody, ImagePathsBecomeContentIdsAndInlineImages) {
    TempDir dir;
    const std::u16string logo = Utf16(dir.write("logo \xC3\xBC.png", "png"));
    const std::string logo8 = testsupport::Utf8(logo);
    const std::u16string page =
        Utf16(dir.write("page.html", "<p>Hi<img src=\"" + logo8 + "\"></p>"));
    auto message = NewMessage();
    message->LoadBodyFromFile(page.c_str(), BODY_HTML_EMBED_IMAGES_ANSI);
    EXPECT_EQ(u"<p>Hi<img src=\"cid:" + logo + u"\"></p>", Str(message->GetHtmlBody()));
    ASSERT_EQ(1, message->GetInlineImageCount());
    EXPECT_EQ(logo, Str(message->GetInlineImagePath(1)));
    EXPECT_EQ(logo, Str(message->GetInlineImageContentId(1)));

    // A later load adds to the images: the same path twice is registered twice; a width as
    // first quoted value and a missing file are rewritten but not registered.
    const std::u16string second = Utf16(dir.write(
        "second.html", "<IMG src=\"" + logo8 + "\"><img src=\"" + logo8 +
                           "\"><img width=\"100\" src=\"x.png\"><img src=\"missing.png\">"));
    message->LoadBodyFromFile(second.c_str(), BODY_HTML_EMBED_IMAGES_UTF8);
    EXPECT_EQ(u"<IMG src=\"cid:" + logo + u"\"><img src=\"cid:" + logo +
                  u"\"><img width=\"cid:100\" src=\"x.png\"><img src=\"cid:missing.png\">",
              Str(message->GetHtmlBody()));
    EXPECT_EQ(3, message->GetInlineImageCount());
    EXPECT_EQ(logo, Str(message->GetInlineImageContentId(3)));
}

} // namespace
