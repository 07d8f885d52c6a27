#include "host_library.h"

namespace larkhost {

CreateSmtpClientFn LarkmailLibrary::createSmtpClientFn() const {
    return reinterpret_cast<CreateSmtpClientFn>(symbol("CreateSmtpClient"));
}

CreateMimeMessageFn LarkmailLibrary::createMimeMessageFn() const {
    return reinterpret_cast<CreateMimeMessageFn>(symbol("CreateMimeMessage"));
}

SMTPClientNS::ISmtpClient* LarkmailLibrary::createSmtpClient() const {
    const CreateSmtpClientFn create = createSmtpClientFn();
    return create ? create() : nullptr;
}

SMTPClientNS::IMimeMessage* LarkmailLibrary::createMimeMessage() const {
    const CreateMimeMessageFn create = createMimeMessageFn();
    return create ? create() : nullptr;
}

} // namespace larkhost
