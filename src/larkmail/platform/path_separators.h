// The characters that separate the folders of a file path on this platform.
#pragma once

namespace SMTPClientNS {

// '/' on POSIX systems; '/' and '\' on Windows.
extern const char kPathSeparators[];

} // namespace SMTPClientNS
