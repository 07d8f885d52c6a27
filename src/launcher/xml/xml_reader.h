// The small reader that parses the XML configuration file.
//
// The reader accepts a narrow subset of XML: elements, double-quoted attributes, element
// text, comments and XML declarations. A document outside that subset (no root element,
// other content before the root, an unterminated comment or declaration, an element not
// closed before the end, text running to the end, an attribute value without its closing
// quote, an attribute name not starting with a letter or '_', or nesting deeper than
// kMaxXmlDepth) is refused as a whole: the configuration then counts as absent.
#pragma once

#include "wide_string.h"

#include <windows.h>

#include <map>
#include <vector>

namespace launcher {

// Deepest element nesting accepted; deeper documents are refused, so that a hostile file
// cannot exhaust the stack.
inline constexpr int kMaxXmlDepth = 256;
// Largest configuration file read; a larger file counts as absent.
inline constexpr long kMaxXmlFileBytes = 64L * 1024 * 1024;

struct XmlNode {
    WideString name;
    WideString text; // character content, trailing white space removed
    std::vector<XmlNode> children;
    std::map<WideString, WideString> attributes; // a repeated name keeps the last
};

class XmlReader {
public:
    // Reads the file (UTF-8) as the document; false when it is missing, empty, unreadable
    // or larger than kMaxXmlFileBytes.
    bool LoadFile(LPCWSTR fileName);
    // Uses the text as the document (up to its first NUL, trailing white space removed).
    void LoadText(WideString text);
    // Parses the document's first element into root; false when the document is outside
    // the accepted subset.
    bool ParseRoot(XmlNode& root);

private:
    bool NextElement(XmlNode& node, int depth);
    bool ParseElement(XmlNode& node, int depth);
    void SkipWhiteSpace();
    bool At(const WCHAR* token) const;
    size_t Find(const WCHAR* token) const;

    WideString document_;
    size_t cursor_ = 0;
};

} // namespace launcher
