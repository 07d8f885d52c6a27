// Loads the built library the way a host does: dlopen, then its two exports by name.
#pragma once

#include <larkmail/larkmail.h>

#include <string>

namespace testsupport {

class LarkmailLibrary {
public:
    // Loads LARKMAIL_LIBRARY_PATH; ok() tells whether it loaded.
    LarkmailLibrary();
    ~LarkmailLibrary();
    LarkmailLibrary(const LarkmailLibrary&) = delete;
    LarkmailLibrary& operator=(const LarkmailLibrary&) = delete;

    bool ok() const { return handle_ != nullptr; }
    const std::string& error() const { return error_; }

    // The export's function, or null when the library lacks it.
    CreateSmtpClientFn createSmtpClientFn() const;
    CreateMimeMessageFn createMimeMessageFn() const;

    // New objects through the exports; null when the export is missing.
    SMTPClientNS::ISmtpClient* createSmtpClient() const;
    SMTPClientNS::IMimeMessage* createMimeMessage() const;

private:
    void* handle_ = nullptr;
    std::string error_;
};

// The process-wide loaded library, for tests that need no fresh load.
const LarkmailLibrary& Library();

} // namespace testsupport
