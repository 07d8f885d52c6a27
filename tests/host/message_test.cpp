// The message object through its interface: defaults, address and path checks, indexes,
// the sender's display name, Clear and the lifetime of returned strings.
#include "library_loader.h"
#include "library_objects.h"

#include <gtest/gtest.h>
#include <temp_dir.h>
#include <utf16.h>

#include <string>

namespace {

using namespace SMTPClientNS;
using testsupport::MessagePtr;
using testsupport::NewMessage;
using testsupport::Str;
using testsupport::Utf16;

TEST(Message, NewMessageHasDefaults) {
    MessagePtr message = NewMessage();
    ASSERT_TRUE(message);
    EXPECT_EQ(u"UTF-8", Str(message->GetCharset()));
    EXPECT_EQ(0, message->GetPriority());
    EXPECT_EQ(0, message->GetRecipientCount() + message->GetCcCount() + message->GetBccCount() +
                     message->GetAttachmentCount() + message->GetInlineImageCount());
    for (const WideChar* text :
         {message->GetSubject(), message->GetHtmlBody(), message->GetTextBody(),
          message->GetSender(ADDRESS_PART_ADDRESS), message->GetSender(ADDRESS_PART_NAME),
          message->GetRecipient(1, ADDRESS_PART_ADDRESS), message->GetAttachment(1),
          message->GetInlineImagePath(1), message->GetInlineImageContentId(1)})
        EXPECT_EQ(u"", Str(text));
}

TEST(Message, CharsetIsNeverEmptyAndSurvivesReset) {
    MessagePtr message = NewMessage();
    message->SetCharset(u"");
    message->SetCharset(nullptr);
    EXPECT_EQ(u"UTF-8", Str(message->GetCharset()));
    message->SetCharset(u"ISO-8859-1");
    EXPECT_EQ(1, message->Clear(CLEAR_ALL));
    EXPECT_EQ(u"ISO-8859-1", Str(message->GetCharset()));
}

TEST(Message, AddressesNeedAnInnerAtSignAndNothingThatNeedsQuoting) {
    MessagePtr message = NewMessage();
    EXPECT_EQ(1, message->AddRecipient(u"a@b", nullptr));
    EXPECT_EQ(2, message->AddRecipient(u"a@b", u""));
    // Only the first '@' is placed; more '@', domain literals and non-ASCII letters pass.
    EXPECT_EQ(3, message->AddRecipient(u"a.b+tag@[127.0.0.1]@z", u"Odd"));
    EXPECT_EQ(4, message->AddRecipient(u"j\u00FCrgen@b\u00FCcher.example", nullptr));
    // Control characters, and what could add ESMTP parameters or another address to the
    // envelope command (blanks, angle brackets) or would need quoting.
    for (const char16_t* bad :
         {u"", u"@ab", u"ab@", u"ab", u"a@b\r\nRCPT TO:<c@d>", u"a@b\n", u"a\t@b", u"a@b\x1f",
          u"a@b\x7f", u"<x y>@@z@", u"a b@c", u"<a@b>", u"a@b> SIZE=1", u"a@b NOTIFY=NEVER",
          u"a\"b\"@c", u"a,b@c", u"a;b@c", u"a\\b@c", u"a(b)@c"})
        EXPECT_EQ(-1, message->AddRecipient(bad, u"x")) << testsupport::Utf8(bad);
    EXPECT_EQ(-1, message->AddRecipient(nullptr, u"x"));
    EXPECT_EQ(-1, message->SetSender(u"a@b> BODY=8BITMIME", nullptr));
    EXPECT_EQ(4, message->GetRecipientCount());

    EXPECT_EQ(-1, message->AddCc(u"a@", nullptr));
    EXPECT_EQ(1, message->AddCc(u"c@d", u"Cee"));
    EXPECT_EQ(-1, message->AddBcc(u"x@y\r", nullptr));
    EXPECT_EQ(1, message->AddBcc(u"e@f", nullptr));
    EXPECT_EQ(u"Cee", Str(message->GetCc(1, ADDRESS_PART_NAME)));
    EXPECT_EQ(u"e@f", Str(message->GetBcc(1, ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"", Str(message->GetBcc(1, ADDRESS_PART_NAME)));
}

TEST(Message, IndexesAreOneBasedAndSelectorsBounded) {
    MessagePtr message = NewMessage();
    message->AddRecipient(u"a@b", u"A");
    message->AddCc(u"c@d", u"C");
    EXPECT_EQ(u"a@b", Str(message->GetRecipient(1, ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"A", Str(message->GetRecipient(1, ADDRESS_PART_NAME)));
    EXPECT_EQ(u"", Str(message->GetRecipient(0, ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"", Str(message->GetRecipient(2, ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"", Str(message->GetRecipient(0xFFFFFFFFu, ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"", Str(message->GetRecipient(1, AddressPart(2))));
    EXPECT_EQ(u"", Str(message->GetRecipient(1, AddressPart(-1))));
    EXPECT_EQ(u"", Str(message->GetCc(2, ADDRESS_PART_NAME)));
    EXPECT_EQ(u"", Str(message->GetSender(AddressPart(2))));
}

TEST(Message, SenderKeepsItsNameUntilANewOneIsGiven) {
    MessagePtr message = NewMessage();
    EXPECT_EQ(1, message->SetSender(u"first@x", u"First"));
    EXPECT_EQ(1, message->SetSender(u"second@x", u""));
    EXPECT_EQ(1, message->SetSender(u"third@x", nullptr));
    EXPECT_EQ(-1, message->SetSender(u"bad\n@x", u"Bad"));
    EXPECT_EQ(u"third@x", Str(message->GetSender(ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"First", Str(message->GetSender(ADDRESS_PART_NAME)));
    EXPECT_EQ(1, message->Clear(CLEAR_SENDER));
    EXPECT_EQ(u"", Str(message->GetSender(ADDRESS_PART_ADDRESS)));
    EXPECT_EQ(u"", Str(message->GetSender(ADDRESS_PART_NAME)));
}

TEST(Message, AttachmentsAndImagesMustNameAnExistingEntry) {
    testsupport::TempDir dir;
    const std::u16string file = Utf16(dir.write("a.png", "png"));
    const std::u16string folder = Utf16(dir.path());
    MessagePtr message = NewMessage();
    EXPECT_EQ(-1, message->AddAttachment(Utf16(dir.file("missing")).c_str()));
    EXPECT_EQ(-1, message->AddAttachment(nullptr));
    EXPECT_EQ(-1, message->AddAttachment(u""));
    EXPECT_EQ(1, message->AddAttachment(file.c_str()));
    EXPECT_EQ(2, message->AddAttachment(folder.c_str()));
    EXPECT_EQ(folder, Str(message->GetAttachment(2)));

    EXPECT_EQ(-1, message->AddInlineImage(Utf16(dir.file("missing")).c_str(), u"id"));
    EXPECT_EQ(-1, message->AddInlineImage(nullptr, u"id"));
    EXPECT_EQ(1, message->AddInlineImage(file.c_str(), nullptr));
    EXPECT_EQ(2, message->AddInlineImage(file.c_str(), u"logo"));
    EXPECT_EQ(u"", Str(message->GetInlineImageContentId(1)));
    EXPECT_EQ(file, Str(message->GetInlineImagePath(1)));
    EXPECT_EQ(u"logo", Str(message->GetInlineImageContentId(2)));
    EXPECT_EQ(u"", Str(message->GetInlineImageContentId(3)));
}

TEST(Message, ClearEmptiesOnlyItsTarget) {
    testsupport::TempDir dir;
    const std::u16string file = Utf16(dir.write("f", "x"));
    MessagePtr message = NewMessage();
    auto fill = [&] {
        message->SetSender(u"s@x", u"S");
        message->AddRecipient(u"t@x", nullptr);
        message->AddCc(u"c@x", nullptr);
        message->AddBcc(u"b@x", nullptr);
        message->AddAttachment(file.c_str());
        message->AddInlineImage(file.c_str(), u"i");
        message->SetSubject(u"Subject");
        message->SetTextBody(u"Text");
        message->SetHtmlBody(u"<p>Html</p>");
        message->SetPriority(PRIORITY_HIGH);
    };
    auto counts = [&] {
        return std::to_string(message->GetRecipientCount()) +
               std::to_string(message->GetCcCount()) + std::to_string(message->GetBccCount()) +
               std::to_string(message->GetAttachmentCount()) +
               std::to_string(message->GetInlineImageCount());
    };
    fill();
    EXPECT_EQ(-1, message->Clear(MimeClearTarget(7)));
    EXPECT_EQ(-1, message->Clear(MimeClearTarget(-1)));
    EXPECT_EQ("11111", counts());
    EXPECT_EQ(1, message->Clear(CLEAR_ATTACHMENTS));
    EXPECT_EQ("11101", counts());
    EXPECT_EQ(1, message->Clear(CLEAR_TO));
    EXPECT_EQ(1, message->Clear(CLEAR_BCC));
    EXPECT_EQ("01001", counts());
    EXPECT_EQ(1, message->Clear(CLEAR_CC));
    EXPECT_EQ(1, message->Clear(CLEAR_INLINE_IMAGES));
    EXPECT_EQ("00000", counts());
    EXPECT_EQ(u"S", Str(message->GetSender(ADDRESS_PART_NAME)));
    EXPECT_EQ(u"Subject", Str(message->GetSubject()));

    fill();
    EXPECT_EQ(1, message->Clear(CLEAR_ALL));
    EXPECT_EQ("00000", counts());
    EXPECT_EQ(0, message->GetPriority());
    EXPECT_EQ(u"", Str(message->GetSender(ADDRESS_PART_ADDRESS)) +
                       Str(message->GetSender(ADDRESS_PART_NAME)) + Str(message->GetSubject()) +
                       Str(message->GetTextBody()) + Str(message->GetHtmlBody()));
}

TEST(Message, SettersStoreValuesAndNullAsEmpty) {
    MessagePtr message = NewMessage();
    message->SetPriority(9);
    EXPECT_EQ(9, message->GetPriority());
    message->SetSubject(u"Gr\u00fc\u00dfe");
    EXPECT_EQ(u"Gr\u00fc\u00dfe", Str(message->GetSubject()));
    message->SetSubject(nullptr);
    message->SetTextBody(u"t");
    message->SetTextBody(nullptr);
    message->SetHtmlBody(u"h");
    message->SetHtmlBody(nullptr);
    EXPECT_EQ(u"", Str(message->GetSubject()) + Str(message->GetTextBody()) +
                       Str(message->GetHtmlBody()));
}

TEST(Message, ReturnedStringsSurviveLaterAppends) {
    testsupport::TempDir dir;
    const std::u16string file = Utf16(dir.write("f", "x"));
    MessagePtr message = NewMessage();
    message->AddRecipient(u"a@b", u"A");
    message->AddAttachment(file.c_str());
    message->AddInlineImage(file.c_str(), u"id");
    const WideChar* name = message->GetRecipient(1, ADDRESS_PART_NAME);
    const WideChar* path = message->GetAttachment(1);
    const WideChar* id = message->GetInlineImageContentId(1);
    for (int i = 0; i < 200; ++i) {
        message->AddRecipient(u"c@d", u"C");
        message->AddAttachment(file.c_str());
        message->AddInlineImage(file.c_str(), u"other");
    }
    EXPECT_EQ(u"A", Str(name));
    EXPECT_EQ(file, Str(path));
    EXPECT_EQ(u"id", Str(id));
}

} // namespace
