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

CreateSmtpClientFn LarkmailLibrary::createSmtpClientFn() const {
    return handle_ ? reinterpret_cast<CreateSmtpClientFn>(dlsym(handle_, "CreateSmtpClient"))
                   : nullptr;
}

CreateMimeMessageFn LarkmailLibrary::createMimeMessageFn() const {
    return handle_ ? reinterpret_cast<CreateMimeMessageFn>(dlsym(handle_, "CreateMimeMessage"))
                   : nullptr;
}

SMTPClientNS::ISmtpClient* LarkmailLibrary::createSmtpClient() const {
    const CreateSmtpClientFn create = createSmtpClientFn();
    return create ? create() : nullptr;
}

SMTPClientNS::IMimeMessage* LarkmailLibrary::createMimeMessage() const {
    const CreateMimeMessageFn create = createMimeMessageFn();
    return create ? create() : nullptr;
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
    // In the build folder the library lies beside the program. An installed program finds it
    // by its SONAME through its own run path (the library folder), where dlopen looks too.
    const std::string beside = folder + "/" LARKMAIL_SONAME;
    return access(beside.c_str(), F_OK) == 0 ? beside : std::string(LARKMAIL_SONAME);
}

} // namespace larkhost
