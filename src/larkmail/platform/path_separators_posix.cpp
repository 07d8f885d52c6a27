#include "platform/path_separators.h"

namespace SMTPClientNS {

const char kPathSeparators[] = "/";

} // namespace SMTPClientNS
