// HTML image embedding: any UTF-16 text as an HTML body. The rewrite only inserts "cid:"
// before each image path it reports, and takes linear time (libFuzzer's -timeout catches a
// quadratic search on long inputs).
#include "message/html_image_embedder.h"

#include <cstdint>
#include <cstring>

namespace {

// The text without any "cid:". An inserted prefix follows a '"', so it never overlaps with
// one that was in the text already and both texts lose the same characters otherwise.
SMTPClientNS::WideString WithoutPrefixes(const SMTPClientNS::WideString& text) {
    SMTPClientNS::WideString out;
    for (size_t at = 0;;) {
        const size_t cid = text.find(TEXT("cid:"), at);
        out.append(text, at, cid == SMTPClientNS::WideString::npos ? cid : cid - at);
        if (cid == SMTPClientNS::WideString::npos)
            return out;
        at = cid + 4;
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace SMTPClientNS;
    WideString html(size / 2, WCHAR(0));
    std::memcpy(html.data(), data, html.size() * 2);
    const HtmlImageRewrite rewrite = RewriteHtmlImages(html);
    if (rewrite.html.size() != html.size() + 4 * rewrite.paths.size())
        __builtin_trap();
    if (WithoutPrefixes(rewrite.html) != WithoutPrefixes(html))
        __builtin_trap();
    return 0;
}
