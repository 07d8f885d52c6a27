// Loading the library on POSIX: dlopen by path, exports by dlsym.
#include "host_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace larkhost {

LarkmailLibrary::LarkmailLibrary(const std::string& path) {
    handle_ = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL | RTLD_NODELETE);
    if (!handle_) {
        const char* why = dlerror();
        error_ = why ? why : "cannot load " + path;
    }
}

LarkmailLibrary::~LarkmailLibrary() {
    if (handle_)
        dlclose(handle_);
}

void* LarkmailLibrary::symbol(const char* name) const {
    return handle_ ? dlsym(handle_, name) : nullptr;
}

std::string LibraryBesideProgram() {
    char self[PATH_MAX];
    const ssize_t n = readlink("/proc/self/exe", self, sizeof self - 1);
    std::string folder = ".";
    if (n > 0) {
        const std::string path(self, size_t(n));
        const size_t slash = path.rfind('/');
        if (slash != std::string::npos)
            folder = path.substr(0, slash);
    }
    // In the build folder the library lies beside the program; an installed program finds it
    // in the installed library folder. The path is named in full: dlopen would search the
    // run path of its caller, which is not this program when dlopen is intercepted (ASan).
    // Elsewhere the dynamic loader looks for it by its SONAME.
    for (const std::string& candidate :
         {folder + "/" LARKMAIL_SONAME, folder + "/" LARKMAIL_BIN_TO_LIB "/" LARKMAIL_SONAME}) {
        if (access(candidate.c_str(), F_OK) == 0)
            return candidate;
    }
    return LARKMAIL_SONAME;
}

} // namespace larkhost
