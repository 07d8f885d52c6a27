// The configuration file reader: UTF-8 file to UTF-16 document, first element to XmlNode.
#include "xml_reader.h"

#include "file_probe.h"
#include "platform_names.h"
#include "trace.h"

#include <vector>

namespace launcher {

namespace {

bool IsLetter(char16_t c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
}

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

bool IsWhiteSpace(char16_t c) {
    return (c >= 0x09 && c <= 0x0D) || c == 0x20;
}

bool IsElementNameChar(char16_t c) {
    return IsLetter(c) || c == u':' || c == u'-' || c == u'_' || c == u'.';
}

bool IsAttributeNameChar(char16_t c) {
    return IsLetter(c) || IsDigit(c) || c == u'_' || c == u'-' || c == u':';
}

void TrimTrailingWhiteSpace(std::u16string& text) {
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
    std::u16string text(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(CP_UTF8, 0, bytes.data(), count, text.data(), length);
    LoadText(std::move(text));
    return true;
}

void XmlReader::LoadText(std::u16string text) {
    const size_t nul = text.find(u'\0');
    if (nul != std::u16string::npos)
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

bool XmlReader::At(const char16_t* token) const {
    return document_.compare(cursor_, std::char_traits<char16_t>::length(token), token) == 0;
}

size_t XmlReader::Find(const char16_t* token) const {
    return document_.find(token, cursor_);
}

// Skips declarations, comments and white space up to the next element and parses it.
bool XmlReader::NextElement(XmlNode& node, int depth) {
    if (depth >= kMaxXmlDepth)
        return false;
    for (;;) {
        SkipWhiteSpace();
        if (At(u"<?xml")) {
            const size_t end = Find(u"?>");
            if (end == std::u16string::npos)
                return false;
            cursor_ = end + 2;
        } else if (At(u"<!--")) {
            const size_t end = Find(u"-->");
            if (end == std::u16string::npos)
                return false;
            cursor_ = end + 3;
        } else if (cursor_ + 1 < document_.size() && document_[cursor_] == u'<' &&
                   (IsLetter(document_[cursor_ + 1]) || document_[cursor_ + 1] == u'_')) {
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
        if (At(u"/>")) {
            cursor_ += 2;
            return true;
        }
        if (At(u"</")) {
            // The closing tag's name is skipped by the length of the element's own name,
            // not compared; then white space and the '>'.
            cursor_ += node.name.size() + 2;
            SkipWhiteSpace();
            if (cursor_ >= document_.size())
                return false;
            ++cursor_;
            return true;
        }
        if (At(u"<!--")) {
            const size_t end = Find(u"-->");
            if (end == std::u16string::npos)
                return false;
            cursor_ = end + 3;
            continue;
        }
        const char16_t c = document_[cursor_];
        if (c == u'<') {
            XmlNode child;
            if (!NextElement(child, depth + 1))
                return false;
            node.children.push_back(std::move(child));
            continue;
        }
        if (c == u'>') {
            ++cursor_;
            SkipWhiteSpace();
            if (cursor_ < document_.size() && document_[cursor_] != u'<') {
                const size_t end = Find(u"<");
                if (end == std::u16string::npos)
                    return false; // text runs to the end
                node.text = document_.substr(cursor_, end - cursor_);
                TrimTrailingWhiteSpace(node.text);
                cursor_ = end;
            }
            continue;
        }
        // An attribute: name, '=', and an optional double-quoted value.
        if (!IsLetter(c) && c != u'_')
            return false;
        const size_t attributeStart = cursor_;
        while (cursor_ < document_.size() && IsAttributeNameChar(document_[cursor_]))
            ++cursor_;
        std::u16string name = document_.substr(attributeStart, cursor_ - attributeStart);
        SkipWhiteSpace();
        if (cursor_ >= document_.size())
            return false;
        ++cursor_; // the '='
        SkipWhiteSpace();
        std::u16string value;
        if (cursor_ < document_.size() && document_[cursor_] == u'"') {
            const size_t close = document_.find(u'"', cursor_ + 1);
            if (close == std::u16string::npos)
                return false;
            value = document_.substr(cursor_ + 1, close - cursor_ - 1);
            cursor_ = close + 1;
        }
        node.attributes[std::move(name)] = std::move(value);
    }
}

bool ConfigurationFileName(LPCWSTR launcherFileName, WCHAR* out, size_t outSize) {
    std::u16string name = launcherFileName ? launcherFileName : u"";
    if (name.empty())
        return false;
    const size_t lastSeparator = name.rfind(kPathSeparator);
    const size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos &&
        (lastSeparator == std::u16string::npos || dot > lastSeparator))
        name.resize(dot);
    name += u".xml";
    if (name.size() + 1 > outSize)
        return false;
    name.copy(out, name.size());
    out[name.size()] = 0;
    return true;
}

bool ReadConfiguredRuntimePathFrom(LPCWSTR configurationFile, WCHAR* runtimePath) {
    XmlReader reader;
    if (!reader.LoadFile(configurationFile)) {
        Trace(u"XML file passed over (missing, empty or unreadable)", configurationFile);
        return false;
    }
    XmlNode root;
    if (!reader.ParseRoot(root)) {
        Trace(u"XML file passed over (not in the accepted XML subset)", configurationFile);
        return false;
    }
    if (root.name != u"Application") {
        Trace(u"XML file passed over (root element is not Application)", configurationFile);
        return false;
    }
    bool found = false;
    const std::u16string* chosen = nullptr;
    for (const XmlNode& child : root.children) {
        if (child.name != u"RuntimePath")
            continue;
        found = true;
        if (!child.text.empty())
            chosen = &child.text; // the last non-empty text wins
    }
    if (!found) {
        Trace(u"XML file passed over (no RuntimePath element)", configurationFile);
        return false;
    }
    if (chosen && chosen->size() < MAX_PATH) {
        chosen->copy(runtimePath, chosen->size());
        runtimePath[chosen->size()] = 0;
    } else if (chosen) {
        runtimePath[0] = 0;
        Trace(u"XML RuntimePath refused (longer than 259 characters)", configurationFile);
    }
    return true;
}

bool ReadConfiguredRuntimePath(WCHAR* runtimePath) {
    WCHAR launcherFile[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, launcherFile, MAX_PATH);
    WCHAR configurationFile[MAX_PATH] = {};
    if (length == 0 || length >= MAX_PATH ||
        !ConfigurationFileName(launcherFile, configurationFile, MAX_PATH))
        return false;
    return ReadConfiguredRuntimePathFrom(configurationFile, runtimePath);
}

} // namespace launcher
