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

std::string AnsiText(const WCHAR* text) {
    std::string out;
    WideToAnsi(text, out);
    return out;
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
