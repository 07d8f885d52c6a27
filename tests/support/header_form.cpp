#include "header_form.h"

#include <algorithm>
#include <regex>
#include <set>

namespace testsupport {

namespace {

std::vector<std::string> Lines(const std::string& message) {
    std::vector<std::string> lines;
    size_t start = 0;
    while (start < message.size()) {
        size_t end = message.find('\n', start);
        if (end == std::string::npos)
            end = message.size();
        std::string line = message.substr(start, end - start);
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        lines.push_back(std::move(line));
        start = end + 1;
    }
    return lines;
}

// The header fields of the message and of every part: each unfolded into one text. A part's
// header starts after a delimiter line of a boundary announced in an earlier header.
std::vector<std::string> HeaderFields(const std::vector<std::string>& lines) {
    static const std::regex boundary("boundary=\"?([^\";]+)\"?", std::regex::icase);
    std::vector<std::string> fields;
    std::set<std::string> delimiters;
    bool inHeader = true;
    for (const std::string& line : lines) {
        if (!inHeader) {
            inHeader = delimiters.count(line) > 0;
            continue;
        }
        if (line.empty()) {
            inHeader = false;
        } else if ((line[0] == ' ' || line[0] == '\t') && !fields.empty()) {
            fields.back() += line;
        } else {
            fields.push_back(line);
        }
        std::smatch match;
        if (!fields.empty() && std::regex_search(fields.back(), match, boundary))
            delimiters.insert("--" + match[1].str());
    }
    return fields;
}

// Parts labelled 8bit whose body holds only 7-bit bytes: readers and filters take the label
// for the content, and 7-bit text is "7bit".
std::vector<std::string> EightBitLabelFaults(const std::vector<std::string>& lines) {
    static const std::regex boundary("boundary=\"?([^\";]+)\"?", std::regex::icase);
    static const std::regex eightBit("content-transfer-encoding:[ \t]*8bit[ \t]*",
                                     std::regex::icase);
    std::vector<std::string> faults;
    std::set<std::string> delimiters;
    bool inHeader = true, labelled = false, eightBitBytes = false;
    auto partEnds = [&] {
        if (labelled && !eightBitBytes)
            faults.push_back("a part labelled 8bit holds only 7-bit bytes");
        labelled = eightBitBytes = false;
    };
    for (const std::string& line : lines) {
        if (!inHeader) {
            const bool delimiter = delimiters.count(line) > 0;
            if (delimiter ||
                (line.size() > 2 && delimiters.count(line.substr(0, line.size() - 2)))) {
                partEnds();
                inHeader = delimiter;
            } else {
                eightBitBytes = eightBitBytes || std::any_of(line.begin(), line.end(), [](char c) {
                                    return static_cast<unsigned char>(c) >= 0x80;
                                });
            }
            continue;
        }
        if (line.empty())
            inHeader = false;
        labelled = labelled || std::regex_match(line, eightBit);
        std::smatch match;
        if (std::regex_search(line, match, boundary))
            delimiters.insert("--" + match[1].str());
    }
    partEnds();
    return faults;
}

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

} // namespace

std::vector<std::string> HeaderFormFaults(const std::string& message) {
    std::vector<std::string> faults;
    const std::vector<std::string> lines = Lines(message);
    for (size_t i = 0; i < lines.size(); ++i) {
        if (lines[i].size() > 998)
            faults.push_back("line " + std::to_string(i + 1) + " has " +
                             std::to_string(lines[i].size()) + " characters");
        // Encoded text can always be cut into words that fit after the field name.
        if (lines[i].size() > 78 && lines[i].compare(0, 9, "Subject: ") == 0 &&
            lines[i].find("=?") != std::string::npos)
            faults.push_back("first Subject line of " + std::to_string(lines[i].size()) +
                             " characters holds an encoded-word");
    }

    for (const std::string& fault : EightBitLabelFaults(lines))
        faults.push_back(fault);

    static const std::regex word("=\\?[^?\\s]+\\?[BbQq]\\?[^?\\s]*\\?=");
    for (const std::string& field : HeaderFields(lines)) {
        const size_t colon = field.find(':');
        const size_t valueStart = colon == std::string::npos ? 0 : colon + 1;
        for (auto it = std::sregex_iterator(field.begin() + long(valueStart), field.end(), word);
             it != std::sregex_iterator(); ++it) {
            const size_t at = valueStart + size_t(it->position());
            const size_t end = at + size_t(it->length());
            const std::string text = it->str();
            if (text.size() > 75)
                faults.push_back("encoded-word of " + std::to_string(text.size()) +
                                 " characters: " + text);
            const bool spaceBefore = at == valueStart || IsBlank(field[at - 1]);
            const bool spaceAfter = end == field.size() || IsBlank(field[end]);
            if (!spaceBefore || !spaceAfter)
                faults.push_back("encoded-word touches other text: " +
                                 field.substr(at > 10 ? at - 10 : 0, text.size() + 20));
        }
    }
    return faults;
}

} // namespace testsupport
