#include "platform/owner_only_file.h"

namespace SMTPClientNS {

HANDLE CreateOwnerOnlyFile(const WCHAR* path) {
    // A new file takes the access rules of its folder; a user's own folders admit only that
    // user (and administrators).
    return CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
}

} // namespace SMTPClientNS
