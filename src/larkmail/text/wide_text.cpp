#include "text/wide_text.h"

#include <cstring>
#include <memory>

namespace SMTPClientNS {

void WideToAnsi(const WCHAR* text, std::string& target) {
    if (!text)
        return;
    const int size = WideCharToMultiByte(CP_ACP, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size == 0)
        return;
    std::unique_ptr<char[]> bytes(new char[size_t(size) + 1]());
    WideCharToMultiByte(CP_ACP, 0, text, -1, bytes.get(), size, nullptr, nullptr);
    target.assign(bytes.get());
}

std::string Utf8Text(const WCHAR* text) {
    if (!text || !*text)
        return std::string();
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    if (size <= 1)
        return std::string();
    std::string utf8(size_t(size), '\0');
    WideCharToMultiByte(CP_UTF8, 0, text, -1, utf8.data(), size, nullptr, nullptr);
    utf8.resize(size_t(size) - 1);
    return utf8;
}

void NarrowToWide(const char* text, WideString& target, UINT codePage) {
    if (!text || !*text)
        return;
    const size_t len = std::strlen(text);
    std::unique_ptr<WCHAR[]> units(new WCHAR[len + 1]());
    // A byte never yields more than one UTF-16 unit, so len + 1 units hold the result and
    // its terminator.
    const int produced = MultiByteToWideChar(codePage, 0, text, -1, units.get(), int(len + 1));
    if (produced <= 0)
        return;
    target.assign(units.get(), size_t(produced) - 1);
}

} // namespace SMTPClientNS
