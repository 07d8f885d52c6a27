#include "compose/header_folding.h"

#include <vector>

namespace SMTPClientNS {

namespace {

bool IsBlank(char c) {
    return c == ' ' || c == '\t';
}

struct FoldPoint {
    size_t at;   // index of the blank that would start the continuation line
    bool quoted; // inside a quoted string
};

// Where the line may be folded: before each run of blanks that has text before and after it,
// after the first word of the value (the text after "Name:" or a continuation's first blanks).
std::vector<FoldPoint> FoldPoints(const std::string& line) {
    size_t start = 0;
    if (!line.empty() && !IsBlank(line[0])) {
        const size_t colon = line.find(':');
        start = colon == std::string::npos ? line.size() : colon + 1;
    }
    while (start < line.size() && IsBlank(line[start]))
        ++start;
    std::vector<FoldPoint> points;
    bool quoted = false;
    for (size_t i = start; i < line.size(); ++i) {
        const char c = line[i];
        if (quoted && c == '\\') {
            ++i; // the escaped character
            continue;
        }
        if (c == '"')
            quoted = !quoted;
        if (IsBlank(c) && !IsBlank(line[i - 1]))
            points.push_back({i, quoted});
    }
    // A fold must leave text on the continuation line, not only blanks.
    while (!points.empty() && line.find_first_not_of(" \t", points.back().at) == std::string::npos)
        points.pop_back();
    return points;
}

} // namespace

std::string FoldHeaderLine(const std::string& line) {
    const std::vector<FoldPoint> points = FoldPoints(line);
    std::string folded;
    size_t lineStart = 0; // where the current output line starts in line
    size_t taken = 0;     // how much of line is in folded
    for (size_t k = 0; k < points.size(); ++k) {
        // The piece up to the next fold point (or the end) joins the current line unless
        // that makes it too long.
        const size_t pieceEnd = k + 1 < points.size() ? points[k + 1].at : line.size();
        const size_t limit = points[k].quoted ? kLongestLine : kFoldedLineLength;
        if (pieceEnd - lineStart > limit) {
            folded.append(line, taken, points[k].at - taken);
            folded += "\r\n";
            taken = lineStart = points[k].at;
        }
    }
    folded.append(line, taken, std::string::npos);
    return folded;
}

} // namespace SMTPClientNS
