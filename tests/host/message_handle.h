// A message from the loaded library that is released when the handle goes.
#pragma once

#include "library_loader.h"

#include <memory>
#include <string>

namespace testsupport {

struct MessageReleaser {
    void operator()(SMTPClientNS::IMimeMessage* message) const { message->Release(); }
};

typedef std::unique_ptr<SMTPClientNS::IMimeMessage, MessageReleaser> MessageHandle;

inline MessageHandle NewMessage() {
    return MessageHandle(Library().createMimeMessage());
}

// A returned text for comparisons; "<null>" shows a null pointer.
inline std::u16string Str(const SMTPClientNS::WideChar* text) {
    return text ? std::u16string(text) : u"<null>";
}

} // namespace testsupport
