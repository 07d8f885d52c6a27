#include "mime_report.h"

#include "child_process.h"
#include "json_text.h"

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

MimePart LoadPart(const nlohmann::json& json) {
    MimePart part;
    for (const nlohmann::json& h : json.at("headers"))
        part.headers.push_back({JsonText(h, "name"), JsonText(h, "raw"), JsonText(h, "value")});
    part.contentType = JsonText(json, "content_type");
    part.charset = JsonText(json, "charset");
    part.disposition = JsonText(json, "disposition");
    part.filename = JsonText(json, "filename");
    part.contentId = JsonText(json, "content_id");
    part.transferEncoding = JsonText(json, "transfer_encoding");
    for (const nlohmann::json& child : json.at("children"))
        part.children.push_back(LoadPart(child));
    part.data = DecodeBase64(JsonText(json, "data_base64"));
    part.hasText = json.at("text").is_string();
    part.text = JsonText(json, "text");
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
    const nlohmann::json json = nlohmann::json::parse(run.output);
    MimeReport report;
    report.defects = json.at("defects").get<std::vector<std::string>>();
    report.root = LoadPart(json.at("root"));
    return report;
}

} // namespace testsupport
