#include "compose/image_type.h"

#include <algorithm>
#include <cctype>

namespace SMTPClientNS {

const char* ImageTypeForFile(const std::string& path) {
    const size_t dot = path.rfind('.');
    if (dot == std::string::npos)
        return "";
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    if (extension == "bmp")
        return "image/bmp";
    if (extension == "png")
        return "image/png";
    return "";
}

} // namespace SMTPClientNS
