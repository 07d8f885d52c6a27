#include "mime_report.h"

#include "child_process.h"
#include "json_value.h"

#include <stdexcept>
#include <strings.h>

namespace testsupport {

namespace {

std::string DecodeBase64(const std::string& text) {
    std::string out;
    unsigned buffer = 0;
    int bits = 0;
    for (const char c : text) {
        int v;
        if (c >= 'A' && c <= 'Z')
            v = c - 'A';
        else if (c >= 'a' && c <= 'z')
            v = c - 'a' + 26;
        else if (c >= '0' && c <= '9')
            v = c - '0' + 52;
        else if (c == '+')
            v = 62;
        else if (c == '/')
            v = 63;
        else
            continue; // padding
        buffer = (buffer << 6) | unsigned(v);
        bits += 6;
        if (bits >= 8) {
            bits -= 8;
            out += char((buffer >> bits) & 0xFF);
        }
    }
    return out;
}

MimePart LoadPart(const JsonValue& json) {
    MimePart part;
    for (const JsonValue& h : json["headers"].items())
        part.headers.push_back({h["name"].str(), h["raw"].str(), h["value"].str()});
    part.contentType = json["content_type"].str();
    part.charset = json["charset"].str();
    part.disposition = json["disposition"].str();
    part.filename = json["filename"].str();
    part.contentId = json["content_id"].str();
    part.transferEncoding = json["transfer_encoding"].str();
    for (const JsonValue& child : json["children"].items())
        part.children.push_back(LoadPart(child));
    part.data = DecodeBase64(json["data_base64"].str());
    part.hasText = !json["text"].isNull();
    part.text = json["text"].str();
    return part;
}

} // namespace

const MimeHeader* MimePart::header(const std::string& name) const {
    for (const MimeHeader& h : headers)
        if (strcasecmp(h.name.c_str(), name.c_str()) == 0)
            return &h;
    return nullptr;
}

std::string MimePart::headerValue(const std::string& name) const {
    const MimeHeader* h = header(name);
    return h ? h->value : std::string();
}

size_t MimePart::headerCount(const std::string& name) const {
    size_t count = 0;
    for (const MimeHeader& h : headers)
        count += strcasecmp(h.name.c_str(), name.c_str()) == 0;
    return count;
}

MimeReport InspectMime(const std::string& emlPath) {
    const ProcessResult run =
        RunProcess({kSystemPython, std::string(TEST_SUPPORT_DIR) + "/mime_report.py", emlPath});
    if (run.exitCode != 0)
        throw std::runtime_error("mime_report.py failed on " + emlPath);
    const JsonValue json = JsonValue::Parse(run.output);
    MimeReport report;
    for (const JsonValue& defect : json["defects"].items())
        report.defects.push_back(defect.str());
    report.root = LoadPart(json["root"]);
    return report;
}

} // namespace testsupport
