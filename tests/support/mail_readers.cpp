#include "mail_readers.h"

#include "child_process.h"
#include "json_text.h"
#include "temp_dir.h"

#include <stdexcept>

namespace testsupport {

namespace {

struct Reader {
    std::string name;
    std::string interpreter;
    std::string script;
    std::vector<std::string> arguments = {};
};

const std::vector<Reader>& Readers() {
    static const std::vector<Reader> readers = {
        {"python-email", kSystemPython, "reader_python_email.py"},
        {"gmime", kSystemPython, "reader_gmime.py"},
        {"email-mime", "/usr/bin/perl", "reader_email_mime.pl"},
    };
    return readers;
}

const std::vector<Reader>& Extractors() {
    static const std::vector<Reader> extractors = {
        {"reformime", kSystemPython, "reader_extractor.py", {"reformime"}},
        {"ripmime", kSystemPython, "reader_extractor.py", {"ripmime"}},
        {"munpack", kSystemPython, "reader_extractor.py", {"munpack"}},
    };
    return extractors;
}

std::optional<std::string> OptionalText(const nlohmann::json& object, const char* key) {
    const auto member = object.find(key);
    if (member == object.end() || !member->is_string())
        return std::nullopt;
    return member->get<std::string>();
}

std::vector<ReaderMailbox> Mailboxes(const nlohmann::json& list) {
    std::vector<ReaderMailbox> mailboxes;
    for (const nlohmann::json& entry : list)
        mailboxes.push_back({JsonText(entry, "name"), JsonText(entry, "address")});
    return mailboxes;
}

std::optional<ReaderText> Text(const nlohmann::json& value) {
    if (value.is_null())
        return std::nullopt;
    return ReaderText{JsonText(value, "type"), OptionalText(value, "text")};
}

std::vector<ReaderFile> Files(const nlohmann::json& list, const char* key) {
    std::vector<ReaderFile> files;
    for (const nlohmann::json& entry : list)
        files.push_back(
            {OptionalText(entry, key), OptionalText(entry, "type"), OptionalText(entry, "sha256")});
    return files;
}

std::vector<std::string> Texts(const nlohmann::json& json, const char* key) {
    std::vector<std::string> texts;
    if (json.contains(key))
        for (const nlohmann::json& entry : json.at(key))
            texts.push_back(entry.get<std::string>());
    return texts;
}

ReaderView LoadView(const nlohmann::json& json) {
    ReaderView view;
    view.reader = JsonText(json, "reader");
    if (json.contains("files")) {
        view.files = Files(json.at("files"), "name");
        return view;
    }
    view.defects = Texts(json, "defects");
    view.subject = OptionalText(json, "subject");
    view.from = Mailboxes(json.at("from"));
    view.to = Mailboxes(json.at("to"));
    view.cc = Mailboxes(json.at("cc"));
    view.body = Text(json.at("body"));
    view.alternative = Text(json.at("alternative"));
    view.inlineImages = Files(json.at("inline"), "cid");
    view.attachments = Files(json.at("attachments"), "name");
    for (const nlohmann::json& part : json.at("other"))
        view.other.push_back(JsonText(part, "type") + " " + JsonText(part, "name"));
    return view;
}

} // namespace

std::ostream& operator<<(std::ostream& out, const ReaderMailbox& mailbox) {
    return out << "{\"" << mailbox.name << "\" <" << mailbox.address << ">}";
}

std::ostream& operator<<(std::ostream& out, const ReaderText& text) {
    return out << "{" << text.type << ": \"" << text.text.value_or("<no text>") << "\"}";
}

std::ostream& operator<<(std::ostream& out, const ReaderFile& file) {
    return out << "{" << file.key.value_or("<none>") << ", " << file.type.value_or("<none>") << ", "
               << file.sha256.value_or("<none>").substr(0, 12) << "}";
}

const std::vector<std::string>& ReaderNames() {
    static const std::vector<std::string> names = [] {
        std::vector<std::string> list;
        for (const Reader& reader : Readers())
            list.push_back(reader.name);
        return list;
    }();
    return names;
}

namespace {

std::vector<std::vector<ReaderView>> ReadWith(const std::vector<Reader>& readers,
                                              const std::vector<std::string>& paths) {
    std::vector<std::vector<ReaderView>> views(paths.size());
    if (paths.empty())
        return views;
    for (const Reader& reader : readers) {
        std::vector<std::string> argv = {reader.interpreter,
                                         std::string(TEST_SUPPORT_DIR) + "/" + reader.script};
        argv.insert(argv.end(), reader.arguments.begin(), reader.arguments.end());
        argv.insert(argv.end(), paths.begin(), paths.end());
        const ProcessResult run = RunProcess(argv);
        if (run.exitCode != 0)
            throw std::runtime_error(reader.script + " failed");
        size_t start = 0;
        for (auto& fileViews : views) {
            const size_t end = run.output.find('\n', start);
            if (end == std::string::npos)
                throw std::runtime_error(reader.script + " printed too few lines");
            fileViews.push_back(
                LoadView(nlohmann::json::parse(run.output.substr(start, end - start))));
            start = end + 1;
        }
    }
    return views;
}

} // namespace

std::vector<std::vector<ReaderView>> ReadWithAllReaders(const std::vector<std::string>& paths) {
    return ReadWith(Readers(), paths);
}

std::vector<std::vector<ReaderView>> ReadWithExtractors(const std::vector<std::string>& paths) {
    return ReadWith(Extractors(), paths);
}

std::string Sha256Of(const std::string& bytes) {
    const TempDir folder;
    const ProcessResult run = RunProcess({"sha256sum", "--", folder.write("bytes", bytes)});
    if (run.exitCode != 0 || run.output.size() < 64)
        throw std::runtime_error("sha256sum failed");
    return run.output.substr(0, 64);
}

} // namespace testsupport
