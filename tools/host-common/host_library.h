// Loads the library the way every host does: the library file (dlopen, LoadLibraryW), then its
// two exports by name. The loading itself is in host_library_posix.cpp and host_library_win.cpp.
#pragma once

#include <larkmail/larkmail.h>

#include <string>

namespace larkhost {

class LarkmailLibrary {
public:
    // Loads the library file at path; ok() tells whether it loaded. The library stays loaded
    // until the process ends, also after this object is gone: a client's worker thread may
    // still be finishing when its last object is released, and unloading code that a thread
    // runs, or whose thread-local storage is still in use, crashes the process.
    explicit LarkmailLibrary(const std::string& path);
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
    void* symbol(const char* name) const; // null when not loaded or not exported

    void* handle_ = nullptr;
    std::string error_;
};

// The library file beside the running program (build folder), else in the library folder of
// an installed program (../lib), else its SONAME for the dynamic loader's own search. On
// Windows: Larkmail.dll in the program's own folder.
std::string LibraryBesideProgram();

} // namespace larkhost
