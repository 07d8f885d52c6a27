#include "transfer/ca_file.h"

#include <cstdlib>

namespace SMTPClientNS {

std::string CaFileFromEnvironment() {
    const char* path = std::getenv("LARKMAIL_CA_FILE");
    return path ? std::string(path) : std::string();
}

} // namespace SMTPClientNS
