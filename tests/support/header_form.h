// Form rules that every message the tests send must keep, whatever it holds: no line longer
// than 998 characters, no encoded-word longer than 75 characters, every encoded-word
// separated from neighbouring text by white space (in the message's header and in the headers
// of its MIME parts), a Subject line that holds encoded text within 78 characters, and no
// part labelled 8bit whose body is 7-bit.
#pragma once

#include <string>
#include <vector>

namespace testsupport {

// One description per broken rule; empty when the message keeps them all. Accepts CR LF or LF
// line ends (a Maildir file has LF).
std::vector<std::string> HeaderFormFaults(const std::string& message);

} // namespace testsupport
