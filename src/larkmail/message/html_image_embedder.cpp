#include "message/html_image_embedder.h"

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

HtmlImageRewrite RewriteHtmlImages(const WideString& html) {
    static const WideString prefix(TEXT("cid:"));
    HtmlImageRewrite result;
    size_t copied = 0; // html before this position is already in result.html
    for (size_t pos = 0;;) {
        const size_t gt = html.find(TEXT('>'), pos);
        if (gt == WideString::npos)
            break;
        const size_t lt = html.find(TEXT('<'), pos);
        if (lt < gt && StartsImageTag(html, lt)) {
            const size_t open = html.find(TEXT('"'), lt);
            const size_t close = open == WideString::npos ? open : html.find(TEXT('"'), open + 1);
            if (close != WideString::npos && close < gt) {
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

void EmbedHtmlImages(IMimeMessage& message) {
    const WideString html(message.GetHtmlBody());
    if (html.empty())
        return;
    const HtmlImageRewrite rewrite = RewriteHtmlImages(html);
    for (const WideString& path : rewrite.paths)
        message.AddInlineImage(path.c_str(), path.c_str());
    message.SetHtmlBody(rewrite.html.c_str());
}

} // namespace SMTPClientNS
