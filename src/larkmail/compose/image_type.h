// The content type of an inline image, told by its file name.
#pragma once

#include <string>

namespace SMTPClientNS {

// "image/bmp" or "image/png" by the path's last extension, else "".
const char* ImageTypeForFile(const std::string& path);

} // namespace SMTPClientNS
