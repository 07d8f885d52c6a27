// How image references in HTML are found and rewritten.
#include "message/html_image_embedder.h"

#include <gtest/gtest.h>
#include <utf16.h>

#include <vector>

namespace {

using SMTPClientNS::RewriteHtmlImages;
using SMTPClientNS::WideString;

struct Case {
    const char16_t* html;
    const char16_t* rewritten;
    std::vector<WideString> paths;
};

TEST(HtmlImageRewrite, FindsTheFirstQuotedValueOfImageTags) {
    const Case cases[] = {
        {u"<p>Hi<img src=\"logo.png\"></p>", u"<p>Hi<img src=\"cid:logo.png\"></p>", {u"logo.png"}},
        // Quotes before the tag's '<' are plain text; the path is inside the tag.
        {u"say \"hi\" <img src=\"a.png\"> after",
         u"say \"hi\" <img src=\"cid:a.png\"> after",
         {u"a.png"}},
        {u"<img width=\"100\" src=\"a.png\">", u"<img width=\"cid:100\" src=\"a.png\">", {u"100"}},
        {u"<img src=\"cid:a.png\">", u"<img src=\"cid:cid:a.png\">", {u"cid:a.png"}},
        {u"<IMGX alt=\"\"><Img src=\"b\">",
         u"<IMGX alt=\"cid:\"><Img src=\"cid:b\">",
         {u"", u"b"}},
        // Not image tags: single quotes, unquoted values, a quote beyond the '>', another tag.
        {u"<img src='a.png'>", u"<img src='a.png'>", {}},
        {u"<img src=a.png>", u"<img src=a.png>", {}},
        {u"<img src=\"a.png>\"", u"<img src=\"a.png>\"", {}},
        {u"<im src=\"a\"><p class=\"img\">", u"<im src=\"a\"><p class=\"img\">", {}},
        {u"text <img src=\"a.png\"", u"text <img src=\"a.png\"", {}},
        {u"", u"", {}},
    };
    for (const Case& c : cases) {
        const auto result = RewriteHtmlImages(c.html);
        EXPECT_EQ(WideString(c.rewritten), result.html) << testsupport::Utf8(c.html);
        EXPECT_EQ(c.paths, result.paths) << testsupport::Utf8(c.html);
    }
}

} // namespace
