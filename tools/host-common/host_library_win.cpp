// Loading the library on Windows: LoadLibraryW by its UTF-16 path, exports by GetProcAddress.
#include "host_library.h"
#include "host_text.h"

#include <windows.h>

#include <string>

namespace larkhost {

namespace {

// The system's text for a Win32 error, in UTF-8 (the ANSI form would lose non-Latin text).
std::string SystemMessage(DWORD error) {
    wchar_t* text = nullptr;
    const DWORD n = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
    std::wstring message = n && text ? std::wstring(text, n) : std::wstring();
    LocalFree(text);
    while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r' ||
                                message.back() == L' ' || message.back() == L'.'))
        message.pop_back();
    return message.empty() ? "error " + std::to_string(error) : Utf8(message.c_str());
}

} // namespace

LarkmailLibrary::LarkmailLibrary(const std::string& path) {
    handle_ = LoadLibraryW(WideText(path).c_str());
    if (!handle_)
        error_ = SystemMessage(GetLastError());
}

// Never FreeLibrary: the library stays loaded until the process ends (see the class).
LarkmailLibrary::~LarkmailLibrary() = default;

void* LarkmailLibrary::symbol(const char* name) const {
    return handle_ ? reinterpret_cast<void*>(GetProcAddress(static_cast<HMODULE>(handle_), name))
                   : nullptr;
}

std::string LibraryBesideProgram() {
    std::wstring self(MAX_PATH, L'\0');
    for (;;) {
        const DWORD n = GetModuleFileNameW(nullptr, self.data(), DWORD(self.size()));
        if (n == 0)
            return "Larkmail.dll";
        if (n < self.size()) {
            self.resize(n);
            break;
        }
        self.resize(self.size() * 2);
    }
    const size_t slash = self.find_last_of(L"\\/");
    const std::wstring folder = slash == std::wstring::npos ? L"." : self.substr(0, slash);
    return Utf8((folder + L"\\Larkmail.dll").c_str());
}

} // namespace larkhost
