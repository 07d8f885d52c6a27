// UTF-16 <-> system bytes with byte escapes for what is not UTF-8.
#include "utf8_text.h"

#include "utf_codec.h"

namespace win32compat {

std::string ToSystemBytes(LPCWSTR text) {
    return utf::Utf16ToUtf8(text, utf::Invalid::EscapeBytes);
}

std::u16string FromSystemBytes(std::string_view bytes) {
    return utf::Utf8ToUtf16<char16_t>(bytes, utf::Invalid::EscapeBytes);
}

} // namespace win32compat
