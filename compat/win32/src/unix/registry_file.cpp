// The regedit export format: one key's values out of the file's text.
#include "registry_file.h"

#include "utf8_text.h"

#include <cstring>

namespace win32compat {

std::u16string FoldRegistryName(std::u16string text) {
    for (auto& c : text)
        c = AsciiToLower16(c);
    return text;
}

namespace {

std::u16string DecodeFile(std::string_view bytes) {
    if (bytes.size() >= 2 && static_cast<unsigned char>(bytes[0]) == 0xFF &&
        static_cast<unsigned char>(bytes[1]) == 0xFE) {
        std::u16string text;
        for (size_t i = 2; i + 1 < bytes.size(); i += 2)
            text += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) |
                                          (static_cast<unsigned char>(bytes[i + 1]) << 8));
        return text;
    }
    size_t start = bytes.compare(0, 3, "\xEF\xBB\xBF") == 0 ? 3 : 0;
    if (bytes.size() <= start)
        return {};
    return FromSystemBytes(bytes.substr(start));
}

std::vector<std::u16string> SplitLines(const std::u16string& text) {
    std::vector<std::u16string> lines;
    std::u16string line;
    for (const char16_t c : text) {
        if (c == u'\n') {
            lines.push_back(line);
            line.clear();
        } else if (c != u'\r') {
            line += c;
        }
    }
    lines.push_back(line);
    return lines;
}

// Reads a quoted string starting at text[pos] == '"'; pos ends after the closing quote.
bool ReadQuoted(const std::u16string& text, size_t& pos, std::u16string& out) {
    if (pos >= text.size() || text[pos] != u'"')
        return false;
    for (++pos; pos < text.size(); ++pos) {
        if (text[pos] == u'\\' && pos + 1 < text.size()) {
            out += text[++pos];
        } else if (text[pos] == u'"') {
            ++pos;
            return true;
        } else {
            out += text[pos];
        }
    }
    return false;
}

bool ParseValueData(const std::u16string& data, RegistryValue& value) {
    if (!data.empty() && data[0] == u'"') {
        size_t pos = 0;
        std::u16string text;
        if (!ReadQuoted(data, pos, text))
            return false;
        value.type = REG_SZ;
        value.data.resize((text.size() + 1) * sizeof(WCHAR));
        std::memcpy(value.data.data(), text.c_str(), value.data.size());
        return true;
    }
    if (FoldRegistryName(data.substr(0, 6)) == u"dword:" && data.size() == 14) {
        DWORD number = 0;
        for (size_t i = 6; i < data.size(); ++i) {
            const char16_t c = AsciiToLower16(data[i]);
            const int digit = (c >= u'0' && c <= u'9')   ? c - u'0'
                              : (c >= u'a' && c <= u'f') ? c - u'a' + 10
                                                         : -1;
            if (digit < 0)
                return false;
            number = number * 16 + static_cast<DWORD>(digit);
        }
        value.type = REG_DWORD;
        value.data.resize(sizeof number);
        std::memcpy(value.data.data(), &number, sizeof number);
        return true;
    }
    return false;
}

} // namespace

bool ReadRegistryKey(std::string_view fileBytes, const std::u16string& foldedPath,
                     RegistryValues& values) {
    const std::vector<std::u16string> lines = SplitLines(DecodeFile(fileBytes));
    if (lines.empty() ||
        (lines[0] != u"Windows Registry Editor Version 5.00" && lines[0] != u"REGEDIT4"))
        return false;
    const std::u16string root = u"hkey_local_machine\\";
    bool exists = false;
    bool inKey = false;
    bool continued = false;
    for (size_t i = 1; i < lines.size(); ++i) {
        const std::u16string& line = lines[i];
        const bool wasContinued = continued;
        continued = !line.empty() && line.back() == u'\\';
        if (wasContinued || line.empty() || line[0] == u';')
            continue;
        if (line[0] == u'[') {
            const size_t close = line.rfind(u']');
            const std::u16string name = FoldRegistryName(
                line.substr(1, close == std::u16string::npos ? std::u16string::npos : close - 1));
            inKey = false;
            if (name.compare(0, root.size(), root) != 0)
                continue;
            const std::u16string path = name.substr(root.size());
            if (path == foldedPath) {
                exists = inKey = true;
            } else if (path.size() > foldedPath.size() &&
                       path.compare(0, foldedPath.size(), foldedPath) == 0 &&
                       path[foldedPath.size()] == u'\\') {
                exists = true;
            }
            continue;
        }
        if (!inKey)
            continue;
        std::u16string name;
        size_t pos = 0;
        if (line[0] == u'@') {
            pos = 1;
        } else if (!ReadQuoted(line, pos, name)) {
            continue;
        }
        if (pos >= line.size() || line[pos] != u'=')
            continue;
        RegistryValue value;
        if (ParseValueData(line.substr(pos + 1), value))
            values[FoldRegistryName(name)] = value;
    }
    return exists;
}

} // namespace win32compat
