// The configuration file reader: UTF-8 file to UTF-16 document, first element to XmlNode.
#include "xml/xml_reader.h"

#include "platform/small_file.h"

#include <vector>

namespace launcher {

namespace {

bool IsLetter(WCHAR c) {
    return (c >= TEXT('A') && c <= TEXT('Z')) || (c >= TEXT('a') && c <= TEXT('z'));
}

bool IsDigit(WCHAR c) {
    return c >= TEXT('0') && c <= TEXT('9');
}

bool IsWhiteSpace(WCHAR c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20;
}

bool IsElementNameChar(WCHAR c) {
    return IsLetter(c) || c == TEXT(':') || c == TEXT('-') || c == TEXT('_') || c == TEXT('.');
}

bool IsAttributeNameChar(WCHAR c) {
    return IsLetter(c) || IsDigit(c) || c == TEXT('_') || c == TEXT('-') || c == TEXT(':');
}

void TrimTrailingWhiteSpace(WideString& text) {
    while (!text.empty() && IsWhiteSpace(text.back()))
        text.pop_back();
}

} // namespace

bool XmlReader::LoadFile(LPCWSTR fileName) {
    std::vector<char> bytes;
    if (!ReadSmallFile(fileName, kMaxXmlFileBytes, bytes))
        return false;
    const int count = static_cast<int>(bytes.size());
    const int length = MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, nullptr, 0);
    if (length <= 0)
        return false;
    WideString text(static_cast<size_t>(length), TEXT('\0'));
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, text.data(), length);
    LoadText(std::move(text));
    return true;
}

void XmlReader::LoadText(WideString text) {
    const size_t nul = text.find(TEXT('\0'));
    if (nul != WideString::npos)
        text.resize(nul);
    TrimTrailingWhiteSpace(text);
    document_ = std::move(text);
    cursor_ = 0;
}

bool XmlReader::ParseRoot(XmlNode& root) {
    cursor_ = 0;
    return NextElement(root, 0);
}

void XmlReader::SkipWhiteSpace() {
    while (cursor_ < document_.size() && IsWhiteSpace(document_[cursor_]))
        ++cursor_;
}

bool XmlReader::At(const WCHAR* token) const {
    return document_.compare(cursor_, std::char_traits<WCHAR>::length(token), token) == 0;
}

size_t XmlReader::Find(const WCHAR* token) const {
    return document_.find(token, cursor_);
}

// Skips declarations, comments and white space up to the next element and parses it.
bool XmlReader::NextElement(XmlNode& node, int depth) {
    if (depth >= kMaxXmlDepth)
        return false;
    for (;;) {
        SkipWhiteSpace();
        if (At(TEXT("<?xml"))) {
            const size_t end = Find(TEXT("?>"));
            if (end == WideString::npos)
                return false;
            cursor_ = end + 2;
        } else if (At(TEXT("<!--"))) {
            const size_t end = Find(TEXT("-->"));
            if (end == WideString::npos)
                return false;
            cursor_ = end + 3;
        } else if (cursor_ + 1 < document_.size() && document_[cursor_] == TEXT('<') &&
                   (IsLetter(document_[cursor_ + 1]) || document_[cursor_ + 1] == TEXT('_'))) {
            return ParseElement(node, depth);
        } else {
            return false;
        }
    }
}

// Parses one element; the cursor stands on its '<'.
bool XmlReader::ParseElement(XmlNode& node, int depth) {
    ++cursor_;
    const size_t nameStart = cursor_;
    while (cursor_ < document_.size() && IsElementNameChar(document_[cursor_]))
        ++cursor_;
    node.name = document_.substr(nameStart, cursor_ - nameStart);

    for (;;) {
        SkipWhiteSpace();
        if (cursor_ >= document_.size())
            return false; // not closed before the end of the text
        if (At(TEXT("/>"))) {
            cursor_ += 2;
            return true;
        }
        if (At(TEXT("</"))) {
            // The closing tag's name is skipped by the length of the element's own name,
            // not compared; then white space and the '>'.
            cursor_ += node.name.size() + 2;
            SkipWhiteSpace();
            if (cursor_ >= document_.size())
                return false;
            ++cursor_;
            return true;
        }
        if (At(TEXT("<!--"))) {
            const size_t end = Find(TEXT("-->"));
            if (end == WideString::npos)
                return false;
            cursor_ = end + 3;
            continue;
        }
        const WCHAR c = document_[cursor_];
        if (c == TEXT('<')) {
            XmlNode child;
            if (!NextElement(child, depth + 1))
                return false;
            node.children.push_back(std::move(child));
            continue;
        }
        if (c == TEXT('>')) {
            ++cursor_;
            SkipWhiteSpace();
            if (cursor_ < document_.size() && document_[cursor_] != TEXT('<')) {
                const size_t end = Find(TEXT("<"));
                if (end == WideString::npos)
                    return false; // text runs to the end
                node.text = document_.substr(cursor_, end - cursor_);
                TrimTrailingWhiteSpace(node.text);
                cursor_ = end;
            }
            continue;
        }
        // An attribute: name, '=', and an optional double-quoted value.
        if (!IsLetter(c) && c != TEXT('_'))
            return false;
        const size_t attributeStart = cursor_;
        while (cursor_ < document_.size() && IsAttributeNameChar(document_[cursor_]))
            ++cursor_;
        WideString name = document_.substr(attributeStart, cursor_ - attributeStart);
        SkipWhiteSpace();
        if (cursor_ >= document_.size())
            return false;
        ++cursor_; // the '='
        SkipWhiteSpace();
        WideString value;
        if (cursor_ < document_.size() && document_[cursor_] == TEXT('"')) {
            const size_t close = document_.find(TEXT('"'), cursor_ + 1);
            if (close == WideString::npos)
                return false;
            value = document_.substr(cursor_ + 1, close - cursor_ - 1);
            cursor_ = close + 1;
        }
        node.attributes[std::move(name)] = std::move(value);
    }
}

} // namespace launcher
