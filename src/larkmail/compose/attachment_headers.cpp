#include "compose/attachment_headers.h"

#include "compose/header_folding.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <string_view>
#include <vector>

namespace SMTPClientNS {

namespace {

struct ExtensionType {
    std::string_view extension;
    const char* type;
};

const ExtensionType kTypes[] = {
    {"txt", "text/plain"},
    {"htm", "text/html"},
    {"html", "text/html"},
    {"csv", "text/csv"},
    {"xml", "application/xml"},
    {"json", "application/json"},
    {"pdf", "application/pdf"},
    {"zip", "application/zip"},
    {"gz", "application/gzip"},
    {"png", "image/png"},
    {"bmp", "image/bmp"},
    {"gif", "image/gif"},
    {"jpg", "image/jpeg"},
    {"jpeg", "image/jpeg"},
    {"svg", "image/svg+xml"},
    {"doc", "application/msword"},
    {"docx", "application/vnd.openxmlformats-officedocument.wordprocessingml.document"},
    {"xls", "application/vnd.ms-excel"},
    {"xlsx", "application/vnd.openxmlformats-officedocument.spreadsheetml.sheet"},
    {"ppt", "application/vnd.ms-powerpoint"},
    {"pptx", "application/vnd.openxmlformats-officedocument.presentationml.presentation"},
};

bool IsPrintableAscii(const std::string& text) {
    return std::all_of(text.begin(), text.end(), [](char c) { return c >= 0x20 && c < 0x7F; });
}

std::string Quoted(const std::string& text) {
    std::string quoted = "\"";
    for (char c : text) {
        if (c == '"' || c == '\\')
            quoted += '\\';
        quoted += c;
    }
    return quoted + "\"";
}

// RFC 2231 value characters: letters, digits and a few marks; every other byte as %XX.
std::string PercentEncoded(const std::string& bytes) {
    static const std::string_view marks = "!#$&+-.^_`|~";
    std::string encoded;
    for (const char c : bytes) {
        const unsigned char byte = static_cast<unsigned char>(c);
        if (std::isalnum(byte) && byte < 0x80) {
            encoded += c;
        } else if (marks.find(c) != std::string_view::npos) {
            encoded += c;
        } else {
            char escape[4];
            std::snprintf(escape, sizeof escape, "%%%02X", unsigned(byte));
            encoded += escape;
        }
    }
    return encoded;
}

// The name's characters (UTF-8 sequences), each percent-encoded.
std::vector<std::string> EncodedCharacters(const std::string& utf8) {
    std::vector<std::string> characters;
    for (size_t start = 0; start < utf8.size();) {
        size_t end = start + 1;
        while (end < utf8.size() && (static_cast<unsigned char>(utf8[end]) & 0xC0) == 0x80)
            ++end;
        characters.push_back(PercentEncoded(utf8.substr(start, end - start)));
        start = end;
    }
    return characters;
}

// The filename* parameter lines: one when it fits, else numbered sections of whole
// characters, each line within 78 characters. Sections are separated by ';'.
std::string ExtendedFileName(const std::string& utf8) {
    const std::string single = " filename*=utf-8''" + PercentEncoded(utf8);
    if (single.size() <= kFoldedLineLength)
        return single;
    std::string lines, section;
    int number = 0;
    auto prefix = [&number] {
        return " filename*" + std::to_string(number) + "*=" + (number ? "" : "utf-8''");
    };
    for (const std::string& character : EncodedCharacters(utf8)) {
        if (!section.empty() &&
            prefix().size() + section.size() + character.size() + 1 > kFoldedLineLength) {
            lines += (number ? "\r\n" : "") + prefix() + section + ";";
            section.clear();
            ++number;
        }
        section += character;
    }
    return lines + (number ? "\r\n" : "") + prefix() + section;
}

// "Content-Disposition: " kind with the file name: filename="..." for a printable ASCII name;
// otherwise filename*= alone. A second, ASCII filename= beside it would be a duplicate
// parameter to some readers, and others would glue both names or save the placeholder.
std::string Disposition(const char* kind, const std::string& utf8Name) {
    const std::string field = std::string("Content-Disposition: ") + kind;
    if (IsPrintableAscii(utf8Name))
        return field + "; filename=" + Quoted(utf8Name);
    return field + ";\r\n" + ExtendedFileName(utf8Name);
}

} // namespace

const char* ContentTypeForFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    const size_t slash = path.find_last_of("/\\");
    if (dot == std::string::npos || (slash != std::string::npos && slash > dot))
        return "application/octet-stream";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const ExtensionType& entry : kTypes)
        if (entry.extension == extension)
            return entry.type;
    return "application/octet-stream";
}

std::string AttachmentDisposition(const std::string& utf8Name) {
    return Disposition("attachment", utf8Name);
}

std::string InlineDisposition(const std::string& utf8Name) {
    return utf8Name.empty() ? "Content-Disposition: inline" : Disposition("inline", utf8Name);
}

} // namespace SMTPClientNS
