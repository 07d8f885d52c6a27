#include "host_text.h"

#include "utf_codec.h"

namespace larkhost {

std::u16string Utf16(const std::string& utf8) {
    return utf::Utf8ToUtf16<char16_t>(utf8);
}

std::string Utf8(const std::u16string& utf16) {
    return utf::Utf16ToUtf8(std::u16string_view(utf16));
}

} // namespace larkhost
