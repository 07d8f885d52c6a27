#include "host_text.h"

#include "utf_codec.h"

namespace larkhost {

std::u16string Utf16(const std::string& utf8) {
    return utf::Utf8ToUtf16<char16_t>(utf8);
}

std::string Utf8(const std::u16string& utf16) {
    return utf::Utf16ToUtf8(std::u16string_view(utf16));
}

std::basic_string<SMTPClientNS::WideChar> WideText(const std::string& utf8) {
    const std::u16string utf16 = Utf16(utf8);
    return std::basic_string<SMTPClientNS::WideChar>(utf16.begin(), utf16.end());
}

std::string Utf8(const SMTPClientNS::WideChar* utf16) {
    if (!utf16)
        return "<null>";
    std::u16string text;
    for (; *utf16; ++utf16)
        text += char16_t(*utf16);
    return Utf8(text);
}

} // namespace larkhost
