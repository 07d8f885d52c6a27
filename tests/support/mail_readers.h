// Three independent mail readers, as a person's mail program would read a message: Python's
// email package (policy.default), GMime 3 in strict RFC 2047 mode, and Perl's Email::MIME; and
// three file extractors that save a message's files. Each is a script in this folder that
// prints one common shape; this loads it.
#pragma once

#include <optional>
#include <ostream>
#include <string>
#include <vector>

namespace testsupport {

struct ReaderMailbox {
    std::string name; // display name, decoded, UTF-8; empty without one
    std::string address;
    bool operator==(const ReaderMailbox&) const = default;
};

struct ReaderText {
    std::string type;                // e.g. "text/html"
    std::optional<std::string> text; // decoded UTF-8 with LF line ends; none for non-text
    bool operator==(const ReaderText&) const = default;
};

// An inline image (key: the content id referenced by the HTML) or an attachment (key: its file
// name). Type and digest are absent for a cid: reference the reader could not resolve.
struct ReaderFile {
    std::optional<std::string> key;
    std::optional<std::string> type;
    std::optional<std::string> sha256;
    bool operator==(const ReaderFile&) const = default;
};

// What one reader shows of one message.
struct ReaderView {
    std::string reader; // "python-email", "gmime" or "email-mime"
    std::optional<std::string> subject;
    std::vector<ReaderMailbox> from, to, cc;
    std::optional<ReaderText> body;        // the body shown: the HTML when there is one
    std::optional<ReaderText> alternative; // the plain alternative to an HTML body
    std::vector<ReaderFile> inlineImages;  // in the order the HTML references them
    std::vector<ReaderFile> attachments;   // as the reader lists them
    std::vector<std::string> other;        // parts shown nowhere else: "type name"
    std::vector<std::string> defects;      // what the reader found wrong in the message
    // File extractors show only this: each file they saved ({name, sha256}; no name where
    // the tool made one up because it could read none).
    std::vector<ReaderFile> files;
};

// Printers for test failure messages.
std::ostream& operator<<(std::ostream& out, const ReaderMailbox& mailbox);
std::ostream& operator<<(std::ostream& out, const ReaderText& text);
std::ostream& operator<<(std::ostream& out, const ReaderFile& file);

// The readers, in the order ReadWithAllReaders returns their views.
const std::vector<std::string>& ReaderNames();

// Reads every file with each reader (one process per reader). Result: [file][reader].
// Throws std::runtime_error when a reader fails or prints something unreadable.
std::vector<std::vector<ReaderView>> ReadWithAllReaders(const std::vector<std::string>& paths);

// The same with the file extractors reformime, ripmime and munpack, whose views hold only the
// files they save.
std::vector<std::vector<ReaderView>> ReadWithExtractors(const std::vector<std::string>& paths);

// Lower-case hexadecimal SHA-256 of the bytes, by coreutils' sha256sum.
std::string Sha256Of(const std::string& bytes);

} // namespace testsupport
