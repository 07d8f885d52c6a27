// Turns the image references of an HTML body into content-id references and registers the
// images as inline images of the message.
#pragma once

#include "text/wide_text.h"

#include <larkmail/larkmail.h>

#include <vector>

namespace SMTPClientNS {

struct HtmlImageRewrite {
    WideString html;               // the text with "cid:" before every image path
    std::vector<WideString> paths; // image paths in the order found, duplicates kept
};

// Cuts html into segments that end at each '>' (the text after the last '>' is a plain last
// segment). A segment is an image tag when its first '<' comes before its '>', is followed by
// "img" in any case, and the first two double quotes after that '<' both lie before the '>':
// the text between them is the image path, whatever attribute it belongs to. Single quotes and
// unquoted values are not recognised.
HtmlImageRewrite RewriteHtmlImages(const WideString& html);

// Rewrites the message's HTML body as above, adds each path as an inline image whose content id
// is the path itself (a path naming no file is rejected there, its reference still rewritten),
// and stores the rewritten body. An empty body is left alone. A relative path names a file in
// folder (the HTML file's own folder, ending in a separator; empty for the current folder), as
// a browser resolves it; an absolute one is used as it is.
void EmbedHtmlImages(IMimeMessage& message, const WideString& folder);

// The folder part of a path, up to and including its last separator; empty without one.
WideString FolderOf(const WCHAR* path);

} // namespace SMTPClientNS
