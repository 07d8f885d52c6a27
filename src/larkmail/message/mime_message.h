// The message object behind IMimeMessage: everything a host sets for one e-mail.
#pragma once

#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <deque>

namespace SMTPClientNS {

// A mailbox: the display name may be empty, the address never is once stored.
struct AddressEntry {
    WideString displayName;
    WideString address;
};

// An image referenced from the HTML body: the content id may be empty (such an entry is
// never sent), the path never is once stored.
struct InlineImageEntry {
    WideString contentId;
    WideString filePath;
};

// Lists are deques: appending never moves the existing entries, so a string returned for one
// entry stays valid while the host adds more; it changes only when the list is cleared.
// Operations that allocate catch memory exhaustion, which leaves the message unchanged (an
// "Add" then returns -1), so no exception reaches the host.
class CMimeMessage : public IMimeMessage {
public:
    CMimeMessage();
    ~CMimeMessage() override;

    int Clear(MimeClearTarget target) override;
    void Release() override;
    int AddRecipient(const WCHAR* address, const WCHAR* name) override;
    int GetRecipientCount() override;
    const WCHAR* GetRecipient(unsigned int index, AddressPart part) override;
    int AddCc(const WCHAR* address, const WCHAR* name) override;
    int GetCcCount() override;
    const WCHAR* GetCc(unsigned int index, AddressPart part) override;
    int AddBcc(const WCHAR* address, const WCHAR* name) override;
    int GetBccCount() override;
    const WCHAR* GetBcc(unsigned int index, AddressPart part) override;
    int AddAttachment(const WCHAR* path) override;
    int GetAttachmentCount() override;
    const WCHAR* GetAttachment(unsigned int index) override;
    int AddInlineImage(const WCHAR* path, const WCHAR* contentId) override;
    int GetInlineImageCount() override;
    const WCHAR* GetInlineImagePath(unsigned int index) override;
    const WCHAR* GetInlineImageContentId(unsigned int index) override;
    int SetSender(const WCHAR* address, const WCHAR* name) override;
    const WCHAR* GetSender(AddressPart part) override;
    void SetPriority(int priority) override;
    int GetPriority() override;
    void SetSubject(const WCHAR* subject) override;
    const WCHAR* GetSubject() override;
    void SetCharset(const WCHAR* charset) override;
    const WCHAR* GetCharset() override;
    void LoadBodyFromFile(const WCHAR* path, BodyFileKind kind) override;
    void SetHtmlBody(const WCHAR* html) override;
    const WCHAR* GetHtmlBody() override;
    void SetTextBody(const WCHAR* text) override;
    const WCHAR* GetTextBody() override;

private:
    int priority_ = PRIORITY_NORMAL;
    WideString charset_;
    WideString subject_;
    WideString htmlBody_;
    WideString textBody_;
    AddressEntry sender_;
    std::deque<AddressEntry> to_;
    std::deque<AddressEntry> cc_;
    std::deque<AddressEntry> bcc_;
    std::deque<WideString> attachments_;
    std::deque<InlineImageEntry> inlineImages_;
};

} // namespace SMTPClientNS
