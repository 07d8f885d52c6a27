// What Python's email package (policy "default") makes of a stored message: the decoded
// headers and the tree of parts, produced by mime_report.py and loaded here. An independent
// reading of the bytes on the wire, for checking composed messages.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

struct MimeHeader {
    std::string name;
    std::string raw;   // as received, folding kept (line breaks as LF)
    std::string value; // decoded (encoded-words resolved) and unfolded, UTF-8
};

struct MimePart {
    std::vector<MimeHeader> headers;
    std::string contentType; // lower case, e.g. "multipart/mixed"
    // The following are empty when the part has none.
    std::string charset;
    std::string disposition; // "inline" or "attachment"
    std::string filename;
    std::string contentId;
    std::string transferEncoding;
    std::vector<MimePart> children; // sub-parts of a multipart part
    std::string data;               // decoded payload bytes of a non-multipart part
    bool hasText = false;           // a text/* part whose payload decoded with its charset
    std::string text;               // that text, UTF-8

    // The first header of that name (case-insensitive) or null.
    const MimeHeader* header(const std::string& name) const;
    // The decoded value of the first header of that name, empty when absent.
    std::string headerValue(const std::string& name) const;
    size_t headerCount(const std::string& name) const;
};

struct MimeReport {
    std::vector<std::string> defects; // parser complaints anywhere in the message
    MimePart root;
};

// Runs tests/support/mime_report.py on the file with /usr/bin/python3 and loads its report.
// Throws a std::exception when the script fails or prints something unreadable.
MimeReport InspectMime(const std::string& emlPath);

} // namespace testsupport
