#include "compose/mime_tree.h"

#include "compose/attachment_headers.h"
#include "compose/file_part.h"
#include "compose/header_folding.h"
#include "compose/image_type.h"
#include "text/charset_converter.h"
#include "text/line_ends.h"
#include "text/wide_text.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>
#include <vector>

namespace SMTPClientNS {

namespace {

// Size of the buffer that holds a body part's type text, terminator included.
const size_t kTypeBufferSize = 56;

} // namespace

WideString WithCrLf(const WCHAR* text) {
    const WCHAR* next = text;
    const WCHAR* const end = text + std::char_traits<WCHAR>::length(text);
    // Every unit becomes at most two.
    WideString out(2 * size_t(end - text) + CrLfWriter::kMinimumRoom, WCHAR(0));
    CrLfWriter writer;
    out.resize(writer.Copy(&next, end, out.data(), out.size()));
    return out;
}

namespace {

// Adds one converted body part to container. Returns 0 or the conversion code.
int AddBodyPart(curl_mime* container, const std::string& charset, const WCHAR* body,
                const char* typeFormat) {
    char type[kTypeBufferSize];
    const int needed = std::snprintf(type, sizeof type, typeFormat, charset.c_str());
    // A charset name too long for the type text is refused rather than cut.
    if (needed < 0 || size_t(needed) >= sizeof type)
        return SMTP_ERR_CHARSET_UNSUPPORTED;
    char* bytes = nullptr;
    size_t length = 0;
    const int result = CCharsetConverter::Instance().ConvertFromWide(
        charset, body, &bytes, &length, CCharsetConverter::LineEnds::CrLf);
    if (result != 0)
        return result;
    std::unique_ptr<char[]> owned(bytes);
    curl_mimepart* part = curl_mime_addpart(container);
    // The converted length, not the first zero byte: in UTF-16 and UTF-32 most characters
    // hold zero bytes.
    curl_mime_data(part, bytes, length);
    curl_mime_type(part, type);
    if (const char* encoding = BodyTransferEncoding(bytes, length))
        curl_mime_encoder(part, encoding);
    return 0;
}

// Binds container under a new part of root with the given multipart type.
curl_mimepart* AddContainer(curl_mime* root, curl_mime* container, const char* type) {
    curl_mimepart* part = curl_mime_addpart(root);
    curl_mime_subparts(part, container);
    curl_mime_type(part, type);
    return part;
}

// The header list is handed to the part, which frees it.
void SetPartHeaders(curl_mimepart* part, std::initializer_list<std::string> lines) {
    curl_slist* headers = nullptr;
    for (const std::string& line : lines)
        headers = curl_slist_append(headers, line.c_str());
    curl_mime_headers(part, headers, 1);
}

// A content id must not carry a line break into the part's header.
std::string WithoutLineBreaks(std::string text) {
    text.erase(
        std::remove_if(text.begin(), text.end(), [](char c) { return c == '\r' || c == '\n'; }),
        text.end());
    return text;
}

// Inline images are sent only with an HTML body and only for entries with path and content id.
bool HasInlineImages(IMimeMessage* message) {
    if (!*message->GetHtmlBody())
        return false;
    for (int i = 1, n = message->GetInlineImageCount(); i <= n; ++i)
        if (*message->GetInlineImagePath(unsigned(i)) &&
            *message->GetInlineImageContentId(unsigned(i)))
            return true;
    return false;
}

// The bodies' container: multipart/alternative, marked inline.
void AddAlternativeContainer(curl_mime* parent, curl_mime* alternative) {
    curl_mimepart* part = AddContainer(parent, alternative, "multipart/alternative");
    SetPartHeaders(part, {"Content-Disposition: inline"});
}

} // namespace

const char* BodyTransferEncoding(const char* bytes, size_t length) {
    if (std::memchr(bytes, '\0', length))
        return "base64";
    size_t lineStart = 0;
    for (size_t i = 0; i <= length; ++i) {
        if (i < length && bytes[i] != '\n')
            continue;
        // The CR of a CR LF is not part of the line.
        size_t lineLength = i - lineStart;
        if (i < length && lineLength > 0 && bytes[i - 1] == '\r')
            --lineLength;
        if (lineLength > kLongestLine)
            return "quoted-printable";
        lineStart = i + 1;
    }
    const auto eightBit = [](char c) { return static_cast<unsigned char>(c) >= 0x80; };
    return std::any_of(bytes, bytes + length, eightBit) ? nullptr : "7bit";
}

int AttachBodies(curl_mime* root, curl_mime* alternative, ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return 0;
    const std::string charset = Utf8Text(message->GetCharset());
    const WCHAR* html = message->GetHtmlBody();
    const WCHAR* plain = message->GetTextBody();
    if (!*html && !*plain) {
        curl_mime_addpart(root);
        return 0;
    }
    // Two bodies, or an HTML body that its images will join, go into the alternative
    // container: plain first, HTML last (the last alternative is the one readers prefer). A
    // single body without images is a part of root itself.
    const bool related = HasInlineImages(message);
    const bool both = *html && *plain;
    curl_mime* container = both || related ? alternative : root;
    if (*plain) {
        const int result = AddBodyPart(container, charset, plain, "text/plain; charset=%s");
        if (result != 0)
            return result;
    }
    if (*html) {
        const int result = AddBodyPart(container, charset, html, "text/html; charset=%s");
        if (result != 0)
            return result;
    }
    if (both && !related)
        AddAlternativeContainer(root, alternative);
    return 0;
}

void AttachInlineImages(curl_mime* root, curl_mime* alternative, curl_mime* related,
                        ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message || !HasInlineImages(message))
        return;
    struct Image {
        WideString path;
        std::string contentId;
    };
    std::vector<Image> images;
    const int count = message->GetInlineImageCount();
    for (int i = 1; i <= count; ++i)
        images.push_back({message->GetInlineImagePath(unsigned(i)),
                          Utf8Text(message->GetInlineImageContentId(unsigned(i)))});
    // The HTML (inside the alternative container) is the related part's first part, its root;
    // the images it references by content id follow it.
    AddAlternativeContainer(related, alternative);
    for (const Image& image : images) {
        if (image.path.empty() || image.contentId.empty())
            continue;
        curl_mimepart* part = curl_mime_addpart(related);
        SetFilePartData(part, image.path.c_str());
        const std::string name = AttachmentFileName(image.path.c_str());
        const char* type = ImageTypeForFile(name);
        curl_mime_type(part, *type ? type : ContentTypeForFile(name));
        SetPartHeaders(part, {"Content-ID: <" + WithoutLineBreaks(image.contentId) + ">",
                              InlineDisposition(name)});
        curl_mime_encoder(part, "base64");
    }
    AddContainer(root, related, "multipart/related");
}

void AttachFiles(curl_mime* root, ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return;
    std::vector<WideString> paths;
    const int count = message->GetAttachmentCount();
    for (int i = 1; i <= count; ++i)
        paths.push_back(message->GetAttachment(unsigned(i)));
    // Each attachment is a part of the outermost multipart/mixed, after the bodies.
    for (const WideString& path : paths) {
        if (path.empty())
            continue;
        curl_mimepart* part = curl_mime_addpart(root);
        SetFilePartData(part, path.c_str());
        const std::string name = AttachmentFileName(path.c_str());
        curl_mime_type(part, ContentTypeForFile(name));
        SetPartHeaders(part, {AttachmentDisposition(name)});
        curl_mime_encoder(part, "base64");
    }
}

int CheckFilesToSend(ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return 0;
    for (int i = 1, n = message->GetAttachmentCount(); i <= n; ++i) {
        const WCHAR* path = message->GetAttachment(unsigned(i));
        if (*path && !IsReadableRegularFile(path))
            return CURLE_READ_ERROR;
    }
    // Inline images are sent only with an HTML body, and only those with a content id.
    if (!*message->GetHtmlBody())
        return 0;
    for (int i = 1, n = message->GetInlineImageCount(); i <= n; ++i) {
        const WCHAR* path = message->GetInlineImagePath(unsigned(i));
        if (*path && *message->GetInlineImageContentId(unsigned(i)) && !IsReadableRegularFile(path))
            return CURLE_READ_ERROR;
    }
    return 0;
}

} // namespace SMTPClientNS
