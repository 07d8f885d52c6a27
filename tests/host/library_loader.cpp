#include "library_loader.h"

#include <dlfcn.h>

namespace testsupport {

LarkmailLibrary::LarkmailLibrary() {
    handle_ = dlopen(LARKMAIL_LIBRARY_PATH, RTLD_NOW | RTLD_LOCAL);
    if (!handle_)
        error_ = dlerror();
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

const LarkmailLibrary& Library() {
    static LarkmailLibrary library;
    return library;
}

} // namespace testsupport
