#include "compose/mime_tree.h"

#include "compose/image_type.h"
#include "platform/path_separators.h"
#include "text/charset_converter.h"
#include "text/wide_text.h"

#include <algorithm>
#include <cstdio>
#include <memory>
#include <vector>

namespace SMTPClientNS {

namespace {

// Size of the buffer that holds a body part's type text, terminator included.
const size_t kTypeBufferSize = 56;

} // namespace

WideString WithCrLf(const WCHAR* text) {
    WideString out;
    for (const WCHAR* p = text; *p; ++p) {
        if (*p == TEXT('\r')) {
            out += TEXT("\r\n");
            if (p[1] == TEXT('\n'))
                ++p;
        } else if (*p == TEXT('\n')) {
            out += TEXT("\r\n");
        } else {
            out += *p;
        }
    }
    return out;
}

namespace {

// Adds one converted body part to alternative. Returns 0 or the conversion code.
int AddBodyPart(curl_mime* alternative, const std::string& charset, const WCHAR* body,
                const char* typeFormat) {
    char type[kTypeBufferSize];
    const int needed = std::snprintf(type, sizeof type, typeFormat, charset.c_str());
    // A charset name too long for the type text is refused rather than cut.
    if (needed < 0 || size_t(needed) >= sizeof type)
        return SMTP_ERR_CHARSET_UNSUPPORTED;
    char* bytes = nullptr;
    size_t length = 0;
    const int result = CCharsetConverter::Instance().ConvertFromWide(
        charset, WithCrLf(body).c_str(), &bytes, &length);
    if (result != 0)
        return result;
    std::unique_ptr<char[]> owned(bytes);
    curl_mimepart* part = curl_mime_addpart(alternative);
    // The converted length, not the first zero byte: in UTF-16 and UTF-32 most characters
    // hold zero bytes.
    curl_mime_data(part, bytes, length);
    curl_mime_type(part, type);
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

// The file name an attachment part announces: the last component of the path without control
// characters, which would otherwise break the part's Content-Disposition line.
std::string AttachmentName(const std::string& path) {
    const size_t separator = path.find_last_of(kPathSeparators);
    std::string name = separator == std::string::npos ? path : path.substr(separator + 1);
    name.erase(std::remove_if(name.begin(), name.end(),
                              [](char c) { return (unsigned char)c < 0x20 || c == 0x7F; }),
               name.end());
    return name;
}

} // namespace

int AttachBodies(curl_mime* root, curl_mime* alternative, ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return 0;
    const std::string charset = AnsiText(message->GetCharset());
    bool added = false;
    const WCHAR* html = message->GetHtmlBody();
    if (*html) {
        const int result = AddBodyPart(alternative, charset, html, "text/html; charset=%s");
        if (result != 0)
            return result;
        added = true;
    }
    const WCHAR* plain = message->GetTextBody();
    if (*plain) {
        const int result = AddBodyPart(alternative, charset, plain, "text/plain; charset=%s");
        if (result != 0)
            return result;
        added = true;
    }
    if (added) {
        curl_mimepart* part = AddContainer(root, alternative, "multipart/alternative");
        SetPartHeaders(part, {"Content-Disposition: inline"});
    } else {
        curl_mime_addpart(root);
    }
    return 0;
}

void AttachInlineImages(curl_mime* root, curl_mime* related, ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message || !*message->GetHtmlBody())
        return;
    struct Image {
        std::string path;
        std::string contentId;
    };
    std::vector<Image> images;
    const int count = message->GetInlineImageCount();
    for (int i = 1; i <= count; ++i)
        images.push_back({AnsiText(message->GetInlineImagePath(unsigned(i))),
                          AnsiText(message->GetInlineImageContentId(unsigned(i)))});
    if (images.empty())
        return;
    for (const Image& image : images) {
        if (image.path.empty() || image.contentId.empty())
            continue;
        curl_mimepart* part = curl_mime_addpart(related);
        curl_mime_filedata(part, image.path.c_str());
        const char* type = ImageTypeForFile(image.path);
        if (*type)
            curl_mime_type(part, type);
        SetPartHeaders(part, {"Content-ID: <" + WithoutLineBreaks(image.contentId) + ">",
                              "Content-Disposition: inline"});
        curl_mime_encoder(part, "base64");
    }
    AddContainer(root, related, "multipart/related");
}

void AttachFiles(curl_mime* root, curl_mime* mixed, ISmtpClient* client) {
    IMimeMessage* message = client ? client->GetMimeMessage() : nullptr;
    if (!message)
        return;
    std::vector<std::string> paths;
    const int count = message->GetAttachmentCount();
    for (int i = 1; i <= count; ++i)
        paths.push_back(AnsiText(message->GetAttachment(unsigned(i))));
    for (const std::string& path : paths) {
        if (path.empty())
            continue;
        curl_mimepart* part = curl_mime_addpart(mixed);
        curl_mime_filedata(part, path.c_str());
        curl_mime_filename(part, AttachmentName(path).c_str());
        curl_mime_encoder(part, "base64");
    }
    if (!paths.empty())
        AddContainer(root, mixed, "multipart/mixed");
}

} // namespace SMTPClientNS
