#include "library_loader.h"

namespace testsupport {

const LarkmailLibrary& Library() {
    static LarkmailLibrary library(LARKMAIL_LIBRARY_PATH);
    return library;
}

} // namespace testsupport
