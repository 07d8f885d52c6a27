#include "transfer/ca_file.h"

#include <cstdlib>
#include <filesystem>
#include <system_error>

namespace SMTPClientNS {

std::string CaFileFromEnvironment() {
    const char* path = std::getenv("LARKMAIL_CA_FILE");
    return path ? std::string(path) : std::string();
}

std::string CaFileIdentity() {
    std::string identity = CaFileFromEnvironment();
    if (identity.empty())
        return identity;
    // The same narrow path that libcurl opens; the non-throwing calls leave the sentinel
    // values for a file that is missing or cannot be read, which then differ from any real one.
    std::error_code error;
    const std::filesystem::path file(identity);
    const std::uintmax_t size = std::filesystem::file_size(file, error);
    const auto modified = std::filesystem::last_write_time(file, error);
    identity += '\0';
    identity += std::to_string(size);
    identity += '\0';
    identity += std::to_string(modified.time_since_epoch().count());
    return identity;
}

} // namespace SMTPClientNS
