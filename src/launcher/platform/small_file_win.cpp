// Small files read with the C library's wide open in text mode: carriage-return/line-feed
// pairs arrive as line feeds, and a Ctrl-Z byte ends the read.
#include "platform/small_file.h"

#include <cstdio>

namespace launcher {

bool ReadSmallFile(LPCWSTR path, long maxBytes, std::vector<char>& bytes) {
    bytes.clear();
    if (!path || !*path)
        return false;
    FILE* file = _wfopen(path, L"r");
    if (!file)
        return false;
    if (std::fseek(file, 0, SEEK_END) == 0) {
        const long size = std::ftell(file);
        if (size > 0 && size <= maxBytes && std::fseek(file, 0, SEEK_SET) == 0) {
            bytes.assign(static_cast<size_t>(size), 0);
            bytes.resize(std::fread(bytes.data(), 1, bytes.size(), file));
        }
    }
    std::fclose(file);
    return !bytes.empty();
}

} // namespace launcher
