// The operation tables are a binary interface: hosts call operations by their position.
// These tests pin each operation's slot as the Itanium C++ ABI lays the table out (the
// virtual destructor takes the first two slots: complete and deleting destructor).
#include "library_loader.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <cstring>

using namespace SMTPClientNS;

namespace {

// A pointer to a virtual member function holds 1 + the byte offset of its slot.
template <typename Method> size_t SlotOf(Method method) {
    static_assert(sizeof(Method) == 2 * sizeof(uintptr_t), "Itanium member pointer layout");
    uintptr_t raw;
    std::memcpy(&raw, &method, sizeof raw);
    EXPECT_EQ(1u, raw & 1u) << "not a virtual operation";
    return (raw - 1) / sizeof(void*);
}

// Position in the interface's list of operations (the destructor is operation 0), turned into
// the slot: operations after the destructor move one slot down.
constexpr size_t Slot(size_t position) {
    return position + 1;
}

TEST(OperationTable, SmtpClientOperationsSitInTheirSlots) {
    EXPECT_EQ(Slot(1), SlotOf(&ISmtpClient::Send));
    EXPECT_EQ(Slot(2), SlotOf(&ISmtpClient::SendAsync));
    EXPECT_EQ(Slot(3), SlotOf(&ISmtpClient::CancelAsync));
    EXPECT_EQ(Slot(4), SlotOf(&ISmtpClient::GetSessionText));
    EXPECT_EQ(Slot(5), SlotOf(&ISmtpClient::SetLogFile));
    EXPECT_EQ(Slot(6), SlotOf(&ISmtpClient::GetLastSessionLine));
    EXPECT_EQ(Slot(7), SlotOf(&ISmtpClient::GetLastResult));
    EXPECT_EQ(Slot(8), SlotOf(&ISmtpClient::SetProxy));
    EXPECT_EQ(Slot(9), SlotOf(&ISmtpClient::GetProxyValue));
    EXPECT_EQ(Slot(10), SlotOf(&ISmtpClient::SetProxyEnabled));
    EXPECT_EQ(Slot(11), SlotOf(&ISmtpClient::IsProxyEnabled));
    EXPECT_EQ(Slot(12), SlotOf(&ISmtpClient::SetCallback));
    EXPECT_EQ(Slot(13), SlotOf(&ISmtpClient::GetCallback));
    EXPECT_EQ(Slot(14), SlotOf(&ISmtpClient::SetVerifyPeer));
    EXPECT_EQ(Slot(15), SlotOf(&ISmtpClient::GetVerifyPeer));
    EXPECT_EQ(Slot(16), SlotOf(&ISmtpClient::SetVerifyStatus));
    EXPECT_EQ(Slot(17), SlotOf(&ISmtpClient::GetVerifyStatus));
    EXPECT_EQ(Slot(18), SlotOf(&ISmtpClient::SetUseTls));
    EXPECT_EQ(Slot(19), SlotOf(&ISmtpClient::GetUseTls));
    EXPECT_EQ(Slot(20), SlotOf(&ISmtpClient::SetTlsVersion));
    EXPECT_EQ(Slot(21), SlotOf(&ISmtpClient::GetTlsVersion));
    EXPECT_EQ(Slot(22), SlotOf(&ISmtpClient::SetConnectTimeout));
    EXPECT_EQ(Slot(23), SlotOf(&ISmtpClient::GetConnectTimeout));
    EXPECT_EQ(Slot(24), SlotOf(&ISmtpClient::SetUser));
    EXPECT_EQ(Slot(25), SlotOf(&ISmtpClient::GetUser));
    EXPECT_EQ(Slot(26), SlotOf(&ISmtpClient::SetPassword));
    EXPECT_EQ(Slot(27), SlotOf(&ISmtpClient::GetPassword));
    EXPECT_EQ(Slot(28), SlotOf(&ISmtpClient::SetBearerToken));
    EXPECT_EQ(Slot(29), SlotOf(&ISmtpClient::GetBearerToken));
    EXPECT_EQ(Slot(30), SlotOf(&ISmtpClient::SetHost));
    EXPECT_EQ(Slot(31), SlotOf(&ISmtpClient::GetHost));
    EXPECT_EQ(Slot(32), SlotOf(&ISmtpClient::SetPort));
    EXPECT_EQ(Slot(33), SlotOf(&ISmtpClient::GetPort));
    EXPECT_EQ(Slot(34), SlotOf(&ISmtpClient::AddRef));
    EXPECT_EQ(Slot(35), SlotOf(&ISmtpClient::Release));
    EXPECT_EQ(Slot(36), SlotOf(&ISmtpClient::SetMimeMessage));
    EXPECT_EQ(Slot(37), SlotOf(&ISmtpClient::GetMimeMessage));
}

TEST(OperationTable, MimeMessageOperationsSitInTheirSlots) {
    EXPECT_EQ(Slot(1), SlotOf(&IMimeMessage::Clear));
    EXPECT_EQ(Slot(2), SlotOf(&IMimeMessage::Release));
    EXPECT_EQ(Slot(3), SlotOf(&IMimeMessage::AddRecipient));
    EXPECT_EQ(Slot(4), SlotOf(&IMimeMessage::GetRecipientCount));
    EXPECT_EQ(Slot(5), SlotOf(&IMimeMessage::GetRecipient));
    EXPECT_EQ(Slot(6), SlotOf(&IMimeMessage::AddCc));
    EXPECT_EQ(Slot(7), SlotOf(&IMimeMessage::GetCcCount));
    EXPECT_EQ(Slot(8), SlotOf(&IMimeMessage::GetCc));
    EXPECT_EQ(Slot(9), SlotOf(&IMimeMessage::AddBcc));
    EXPECT_EQ(Slot(10), SlotOf(&IMimeMessage::GetBccCount));
    EXPECT_EQ(Slot(11), SlotOf(&IMimeMessage::GetBcc));
    EXPECT_EQ(Slot(12), SlotOf(&IMimeMessage::AddAttachment));
    EXPECT_EQ(Slot(13), SlotOf(&IMimeMessage::GetAttachmentCount));
    EXPECT_EQ(Slot(14), SlotOf(&IMimeMessage::GetAttachment));
    EXPECT_EQ(Slot(15), SlotOf(&IMimeMessage::AddInlineImage));
    EXPECT_EQ(Slot(16), SlotOf(&IMimeMessage::GetInlineImageCount));
    EXPECT_EQ(Slot(17), SlotOf(&IMimeMessage::GetInlineImagePath));
    EXPECT_EQ(Slot(18), SlotOf(&IMimeMessage::GetInlineImageContentId));
    EXPECT_EQ(Slot(19), SlotOf(&IMimeMessage::SetSender));
    EXPECT_EQ(Slot(20), SlotOf(&IMimeMessage::GetSender));
    EXPECT_EQ(Slot(21), SlotOf(&IMimeMessage::SetPriority));
    EXPECT_EQ(Slot(22), SlotOf(&IMimeMessage::GetPriority));
    EXPECT_EQ(Slot(23), SlotOf(&IMimeMessage::SetSubject));
    EXPECT_EQ(Slot(24), SlotOf(&IMimeMessage::GetSubject));
    EXPECT_EQ(Slot(25), SlotOf(&IMimeMessage::SetCharset));
    EXPECT_EQ(Slot(26), SlotOf(&IMimeMessage::GetCharset));
    EXPECT_EQ(Slot(27), SlotOf(&IMimeMessage::LoadBodyFromFile));
    EXPECT_EQ(Slot(28), SlotOf(&IMimeMessage::SetHtmlBody));
    EXPECT_EQ(Slot(29), SlotOf(&IMimeMessage::GetHtmlBody));
    EXPECT_EQ(Slot(30), SlotOf(&IMimeMessage::SetTextBody));
    EXPECT_EQ(Slot(31), SlotOf(&IMimeMessage::GetTextBody));
}

// Calls through raw table entries, as a host compiled by another compiler would: the slot of
// GetPort must answer the port that the slot of SetPort stored in the library's own object.
TEST(OperationTable, RawSlotsReachTheLibrarysOperations) {
    ISmtpClient* client = testsupport::Library().createSmtpClient();
    ASSERT_NE(nullptr, client);
    void** table = *reinterpret_cast<void***>(client);
    using SetInt = void (*)(ISmtpClient*, int);
    using GetInt = int (*)(ISmtpClient*);
    using Release = void (*)(ISmtpClient*);
    reinterpret_cast<SetInt>(table[Slot(32)])(client, 2525);
    EXPECT_EQ(2525, reinterpret_cast<GetInt>(table[Slot(33)])(client));
    EXPECT_EQ(SMTP_NO_SEND_YET, reinterpret_cast<GetInt>(table[Slot(7)])(client));
    reinterpret_cast<Release>(table[Slot(35)])(client);
}

} // namespace
