#include "message/mime_message.h"

#include "api/guarded.h"
#include "message/address_validation.h"
#include "message/body_file_reader.h"
#include "message/html_image_embedder.h"

#include <memory>

namespace SMTPClientNS {

namespace {

// What getters return when there is nothing to return: never a null pointer.
const WCHAR kEmpty[] = {0};

WideString TextOrEmpty(const WCHAR* text) {
    return text ? WideString(text) : WideString();
}

int AddAddress(std::deque<AddressEntry>& list, const WCHAR* address, const WCHAR* name) {
    if (!IsValidAddress(address))
        return -1;
    return Guarded(-1, [&] {
        list.push_back(AddressEntry{TextOrEmpty(name), WideString(address)});
        return int(list.size());
    });
}

bool NamesExistingEntry(const WCHAR* path) {
    return path && GetFileAttributesW(path) != INVALID_FILE_ATTRIBUTES;
}

// The index-th (1-based) element of a list, or null when the index is out of range.
template <typename List> const typename List::value_type* At(const List& list, unsigned index) {
    return index >= 1 && index <= list.size() ? &list[index - 1] : nullptr;
}

const WCHAR* AddressHalf(const AddressEntry* entry, AddressPart part) {
    if (!entry)
        return kEmpty;
    switch (part) {
    case ADDRESS_PART_ADDRESS:
        return entry->address.c_str();
    case ADDRESS_PART_NAME:
        return entry->displayName.c_str();
    default:
        return kEmpty;
    }
}

} // namespace

CMimeMessage::CMimeMessage() : charset_(TEXT("UTF-8")) {}

CMimeMessage::~CMimeMessage() = default;

int CMimeMessage::Clear(MimeClearTarget target) {
    switch (target) {
    case CLEAR_ALL:
        // Everything returns to its default except the charset.
        priority_ = PRIORITY_NORMAL;
        sender_ = AddressEntry();
        subject_.clear();
        htmlBody_.clear();
        textBody_.clear();
        to_.clear();
        cc_.clear();
        bcc_.clear();
        attachments_.clear();
        inlineImages_.clear();
        return 1;
    case CLEAR_TO:
        to_.clear();
        return 1;
    case CLEAR_CC:
        cc_.clear();
        return 1;
    case CLEAR_BCC:
        bcc_.clear();
        return 1;
    case CLEAR_ATTACHMENTS:
        attachments_.clear();
        return 1;
    case CLEAR_INLINE_IMAGES:
        inlineImages_.clear();
        return 1;
    case CLEAR_SENDER:
        sender_ = AddressEntry();
        return 1;
    default:
        return -1;
    }
}

// The host's call reaches this through the object's own table, so a null object cannot be
// detected here.
void CMimeMessage::Release() {
    delete this;
}

int CMimeMessage::AddRecipient(const WCHAR* address, const WCHAR* name) {
    return AddAddress(to_, address, name);
}

int CMimeMessage::GetRecipientCount() {
    return int(to_.size());
}

const WCHAR* CMimeMessage::GetRecipient(unsigned int index, AddressPart part) {
    return AddressHalf(At(to_, index), part);
}

int CMimeMessage::AddCc(const WCHAR* address, const WCHAR* name) {
    return AddAddress(cc_, address, name);
}

int CMimeMessage::GetCcCount() {
    return int(cc_.size());
}

const WCHAR* CMimeMessage::GetCc(unsigned int index, AddressPart part) {
    return AddressHalf(At(cc_, index), part);
}

int CMimeMessage::AddBcc(const WCHAR* address, const WCHAR* name) {
    return AddAddress(bcc_, address, name);
}

int CMimeMessage::GetBccCount() {
    return int(bcc_.size());
}

const WCHAR* CMimeMessage::GetBcc(unsigned int index, AddressPart part) {
    return AddressHalf(At(bcc_, index), part);
}

// Any existing entry is accepted, a folder too; the file is read only when the mail is sent.
int CMimeMessage::AddAttachment(const WCHAR* path) {
    if (!NamesExistingEntry(path))
        return -1;
    return Guarded(-1, [&] {
        attachments_.emplace_back(path);
        return int(attachments_.size());
    });
}

int CMimeMessage::GetAttachmentCount() {
    return int(attachments_.size());
}

const WCHAR* CMimeMessage::GetAttachment(unsigned int index) {
    const WideString* path = At(attachments_, index);
    return path ? path->c_str() : kEmpty;
}

int CMimeMessage::AddInlineImage(const WCHAR* path, const WCHAR* contentId) {
    if (!NamesExistingEntry(path))
        return -1;
    return Guarded(-1, [&] {
        inlineImages_.push_back(InlineImageEntry{TextOrEmpty(contentId), WideString(path)});
        return int(inlineImages_.size());
    });
}

int CMimeMessage::GetInlineImageCount() {
    return int(inlineImages_.size());
}

const WCHAR* CMimeMessage::GetInlineImagePath(unsigned int index) {
    const InlineImageEntry* image = At(inlineImages_, index);
    return image ? image->filePath.c_str() : kEmpty;
}

const WCHAR* CMimeMessage::GetInlineImageContentId(unsigned int index) {
    const InlineImageEntry* image = At(inlineImages_, index);
    return image ? image->contentId.c_str() : kEmpty;
}

// A null or empty name keeps the display name set before.
int CMimeMessage::SetSender(const WCHAR* address, const WCHAR* name) {
    if (!IsValidAddress(address))
        return -1;
    return Guarded(-1, [&] {
        AddressEntry sender{name && *name ? WideString(name) : sender_.displayName,
                            WideString(address)};
        sender_ = std::move(sender);
        return 1;
    });
}

const WCHAR* CMimeMessage::GetSender(AddressPart part) {
    return AddressHalf(&sender_, part);
}

void CMimeMessage::SetPriority(int priority) {
    priority_ = priority;
}

int CMimeMessage::GetPriority() {
    return priority_;
}

void CMimeMessage::SetSubject(const WCHAR* subject) {
    Guarded([&] { subject_ = TextOrEmpty(subject); });
}

const WCHAR* CMimeMessage::GetSubject() {
    return subject_.c_str();
}

// The name is checked only when the mail is composed; it is never empty.
void CMimeMessage::SetCharset(const WCHAR* charset) {
    if (charset && *charset)
        Guarded([&] { charset_ = charset; });
}

const WCHAR* CMimeMessage::GetCharset() {
    return charset_.c_str();
}

// Reports nothing: a file that cannot be read, or is empty, leaves the message as it was.
// Unknown kinds change nothing, so their file is not even read.
void CMimeMessage::LoadBodyFromFile(const WCHAR* path, BodyFileKind kind) {
    if (kind < BODY_TEXT_ANSI || kind > BODY_HTML_EMBED_IMAGES_UTF8)
        return;
    Guarded([&] {
        const std::unique_ptr<char[]> content = ReadBodyFile(path);
        if (!content)
            return;
        const bool utf8 =
            kind == BODY_TEXT_UTF8 || kind == BODY_HTML_UTF8 || kind == BODY_HTML_EMBED_IMAGES_UTF8;
        WideString text;
        NarrowToWide(content.get(), text, utf8 ? CP_UTF8 : CP_ACP);
        if (text.empty())
            return;
        if (kind == BODY_TEXT_ANSI || kind == BODY_TEXT_UTF8) {
            textBody_ = std::move(text);
            return;
        }
        htmlBody_ = std::move(text);
        if (kind == BODY_HTML_EMBED_IMAGES_ANSI || kind == BODY_HTML_EMBED_IMAGES_UTF8)
            EmbedHtmlImages(*this, FolderOf(path));
    });
}

void CMimeMessage::SetHtmlBody(const WCHAR* html) {
    Guarded([&] { htmlBody_ = TextOrEmpty(html); });
}

const WCHAR* CMimeMessage::GetHtmlBody() {
    return htmlBody_.c_str();
}

void CMimeMessage::SetTextBody(const WCHAR* text) {
    Guarded([&] { textBody_ = TextOrEmpty(text); });
}

const WCHAR* CMimeMessage::GetTextBody() {
    return textBody_.c_str();
}

} // namespace SMTPClientNS
