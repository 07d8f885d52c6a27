#include "input_files.h"

#include <algorithm>

std::string InputFailure(const std::string& path, const std::string& why) {
    return "cannot read " + (path == "-" ? std::string("standard input") : path) + ": " + why;
}

bool ReadFirstLine(const std::string& path, std::string& line, std::string& error) {
    if (!ReadInputFile(path, line, error))
        return false;
    line.erase(std::min(line.find('\n'), line.size()));
    if (!line.empty() && line.back() == '\r')
        line.pop_back();
    return true;
}
