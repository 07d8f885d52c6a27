// package-app: makes an application's copy of the launcher.
//
//   package-app --launcher <built launcher> --output <application's copy>
//               [--version <required runtime version>]      string 1005 of the copy
//               [--runtime-path <folder>]                   writes <copy>.xml with it
//               [--empty-runtime-path]                      writes <copy>.xml, empty RuntimePath
//               [--trailer PCA|PSA]                         appends the 512-byte trailer
//
// The string table is written the platform's way (string_table_*.cpp); the XML file is named
// like the launcher looks for it (the copy's name cut at the last '.' of its file name, plus
// ".xml"); the trailer comes last, after the string table has rewritten the file. Any file
// that cannot be written ends the tool with exit code 1 and a message.
#include "package_app.h"

#include "utf_codec.h"

#include <fstream>
#include <iostream>

namespace package_app {

namespace {

constexpr uint32_t kRequiredVersionString = 1005;

struct Options {
    std::string launcher, output, version, runtimePath, trailer;
    bool hasVersion = false, writeXml = false;
};

int Usage() {
    std::cerr << "usage: package-app --launcher FILE --output FILE [--version V]\n"
                 "                   [--runtime-path DIR | --empty-runtime-path]"
                 " [--trailer PCA|PSA]\n";
    return 2;
}

// Writes bytes to a file (truncated or appended to); false, with a message, when the file
// cannot be opened or the bytes do not all arrive.
bool WriteFile(const std::string& file, const std::string& bytes, std::ios::openmode mode) {
    std::ofstream out(FilePath(file), std::ios::binary | std::ios::out | mode);
    out << bytes;
    out.close();
    if (!out)
        std::cerr << "package-app: cannot write " << file << "\n";
    return static_cast<bool>(out);
}

// The launcher's XML reader knows no entities or character references, so these characters
// cannot be written in a way it reads back.
bool RepresentableInXml(const std::string& text) {
    return text.find_first_of("<>&\"") == std::string::npos;
}

// The last separator of a file name: '/' everywhere, '\' too on Windows, where both separate.
size_t LastSeparator(const std::string& file) {
    const bool backslashSeparates = std::filesystem::path::preferred_separator == '\\';
    return file.find_last_of(backslashSeparates ? "/\\" : "/");
}

std::string XmlFileName(const std::string& copy) {
    const size_t separator = LastSeparator(copy);
    const size_t dot = copy.rfind('.');
    if (dot != std::string::npos && (separator == std::string::npos || dot > separator))
        return copy.substr(0, dot) + ".xml";
    return copy + ".xml";
}

} // namespace

int PackageApp(const std::vector<std::string>& args) {
    Options o;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        auto next = [&]() -> std::string { return i + 1 < args.size() ? args[++i] : ""; };
        if (arg == "--launcher")
            o.launcher = next();
        else if (arg == "--output")
            o.output = next();
        else if (arg == "--version")
            o.version = next(), o.hasVersion = true;
        else if (arg == "--runtime-path")
            o.runtimePath = next(), o.writeXml = true;
        else if (arg == "--empty-runtime-path")
            o.writeXml = true;
        else if (arg == "--trailer")
            o.trailer = next();
        else
            return Usage();
    }
    if (o.launcher.empty() || o.output.empty() ||
        !(o.trailer.empty() || o.trailer == "PCA" || o.trailer == "PSA"))
        return Usage();
    if (!RepresentableInXml(o.runtimePath)) {
        std::cerr << "package-app: the runtime path must not contain '<', '>', '&' or '\"'"
                     " (the launcher reads no XML entities): "
                  << o.runtimePath << "\n";
        return 1;
    }

    std::string failure;
    if (!CopyLauncher(o.launcher, o.output, failure)) {
        std::cerr << "package-app: cannot copy " << o.launcher << ": " << failure << "\n";
        return 1;
    }
    if (o.hasVersion && !SetStringTableEntry(o.output, kRequiredVersionString,
                                             utf::Utf8ToUtf16<char16_t>(o.version))) {
        std::cerr << "package-app: cannot set the required version of " << o.output << "\n";
        return 1;
    }
    if (o.writeXml &&
        !WriteFile(XmlFileName(o.output),
                   "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<Application>\n  <RuntimePath>" +
                       o.runtimePath + "</RuntimePath>\n</Application>\n",
                   std::ios::trunc))
        return 1;
    if (!o.trailer.empty()) {
        std::string trailer(512, '\0');
        trailer.replace(0, 4, "TRL*");
        trailer.replace(8, 4, o.trailer + "*");
        if (!WriteFile(o.output, trailer, std::ios::app))
            return 1;
    }
    std::error_code error;
    std::filesystem::permissions(FilePath(o.output),
                                 std::filesystem::perms::owner_exec |
                                     std::filesystem::perms::group_exec |
                                     std::filesystem::perms::others_exec,
                                 std::filesystem::perm_options::add, error);
    if (error) {
        std::cerr << "package-app: cannot make " << o.output << " executable: " << error.message()
                  << "\n";
        return 1;
    }
    return 0;
}

} // namespace package_app
