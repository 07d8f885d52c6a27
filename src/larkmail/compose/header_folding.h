// Folding of header lines: a long line is cut into a line and continuation lines by putting
// CR LF before some of its blanks, which readers remove again when they unfold.
#pragma once

#include <string>

namespace SMTPClientNS {

// Lines should stay within 78 characters; none may exceed 998.
inline constexpr size_t kFoldedLineLength = 78;
inline constexpr size_t kLongestLine = 998;

// Folds one header line (given without its CR LF; a continuation line starts with a blank) so
// that each line stays within 78 characters where the blanks allow it. A fold goes before the
// first blank of a run of blanks that more text follows, never before the first word of the
// field's value, and inside a quoted string only where a line would otherwise exceed 998.
// Returns the folded text without a final CR LF.
std::string FoldHeaderLine(const std::string& line);

} // namespace SMTPClientNS
