// The lines of a trace record: one block of protocol data as "label: " lines.
#pragma once

#include <cstddef>
#include <string>

namespace SMTPClientNS {

// Appends the lines for one block of protocol data to out. In text mode (mode non-zero) a
// line holds up to 96 characters and ends at each CR LF, which is not shown; otherwise each
// line is a hex dump of 16 bytes followed by those bytes. Bytes outside 0x20..0x7F show as ".".
void FormatTraceData(const char* label, const unsigned char* data, size_t size, char mode,
                     std::string& out);

} // namespace SMTPClientNS
