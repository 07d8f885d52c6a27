// A message from the loaded library that is released when the handle goes.
#pragma once

#include "library_loader.h"

#include <memory>

namespace testsupport {

struct MessageReleaser {
    void operator()(SMTPClientNS::IMimeMessage* message) const { message->Release(); }
};

typedef std::unique_ptr<SMTPClientNS::IMimeMessage, MessageReleaser> MessageHandle;

inline MessageHandle NewMessage() {
    return MessageHandle(Library().createMimeMessage());
}

} // namespace testsupport
