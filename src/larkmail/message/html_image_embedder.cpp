#include "message/html_image_embedder.h"

#include "platform/path_separators.h"

#include <algorithm>

namespace SMTPClientNS {

namespace {

WCHAR Lower(WCHAR c) {
    return c >= TEXT('A') && c <= TEXT('Z') ? WCHAR(c - TEXT('A') + TEXT('a')) : c;
}

// Starts an image tag: "img" in any case right after the '<' at lt.
bool StartsImageTag(const WideString& html, size_t lt) {
    return lt + 3 < html.size() && Lower(html[lt + 1]) == TEXT('i') &&
           Lower(html[lt + 2]) == TEXT('m') && Lower(html[lt + 3]) == TEXT('g');
}

} // namespace

// Linear in the length of html: every search stays within the current segment, and the next
// '<' is searched again only once the position has passed it.
HtmlImageRewrite RewriteHtmlImages(const WideString& html) {
    static const WideString prefix(TEXT("cid:"));
    HtmlImageRewrite result;
    size_t copied = 0; // html before this position is already in result.html
    size_t lt = 0;     // the first '<' at or after pos, or npos
    bool ltKnown = false;
    for (size_t pos = 0;;) {
        const size_t gt = html.find(TEXT('>'), pos);
        if (gt == WideString::npos)
            break;
        if (!ltKnown || (lt != WideString::npos && lt < pos)) {
            lt = html.find(TEXT('<'), pos);
            ltKnown = true;
        }
        if (lt != WideString::npos && lt < gt && StartsImageTag(html, lt)) {
            const auto begin = html.begin();
            const size_t open = size_t(std::find(begin + lt, begin + gt, TEXT('"')) - begin);
            const size_t close =
                open < gt ? size_t(std::find(begin + open + 1, begin + gt, TEXT('"')) - begin) : gt;
            if (close < gt) {
                result.paths.push_back(html.substr(open + 1, close - open - 1));
                result.html.append(html, copied, open + 1 - copied);
                result.html.append(prefix);
                copied = open + 1;
            }
        }
        pos = gt + 1;
    }
    result.html.append(html, copied, WideString::npos);
    return result;
}

void EmbedHtmlImages(IMimeMessage& message, const WideString& folder) {
    const WideString html(message.GetHtmlBody());
    if (html.empty())
        return;
    const HtmlImageRewrite rewrite = RewriteHtmlImages(html);
    for (const WideString& path : rewrite.paths) {
        // The content id stays the path as written: the HTML references it so.
        const bool besideHtml = !path.empty() && !IsAbsolutePath(path);
        message.AddInlineImage((besideHtml ? folder + path : path).c_str(), path.c_str());
    }
    message.SetHtmlBody(rewrite.html.c_str());
}

WideString FolderOf(const WCHAR* path) {
    const WideString text = path ? path : TEXT("");
    return text.substr(0, LastComponentStart(text));
}

} // namespace SMTPClientNS
