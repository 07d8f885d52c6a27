// The header encoders: any UTF-16 text as a display name and as a subject, in several
// character sets. Whatever the text, the result cannot end a header line or start another:
// a CR LF may only fold a line (followed by a blank), and no other CR or LF appears.
#include "compose/header_block.h"

#include <cstdint>
#include <cstring>
#include <string>

namespace {

const char* const kCharsets[] = {"UTF-8",     "ISO-8859-1", "UTF-7", "ISO-2022-JP",
                                 "SHIFT_JIS", "UTF-16",     "ASCII", "GB18030"};

void CheckHeaderText(const std::string& text) {
    for (size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '\n' || (text[i] == '\r' && text.compare(i, 3, "\r\n ") != 0 &&
                                text.compare(i, 3, "\r\n\t") != 0))
            __builtin_trap();
        if (text[i] == '\r')
            ++i; // the LF of a fold
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    using namespace SMTPClientNS;
    if (size == 0)
        return 0;
    const std::string charset = kCharsets[data[0] % (sizeof kCharsets / sizeof *kCharsets)];
    WideString text((size - 1) / 2, WCHAR(0));
    std::memcpy(text.data(), data + 1, text.size() * 2);
    text.resize(std::char_traits<WCHAR>::length(text.c_str()));

    // The composer makes every text one line before it encodes it, as here.
    const WideString line = SingleLine(text.c_str());
    for (const WCHAR c : line)
        if (c == TEXT('\r') || c == TEXT('\n'))
            __builtin_trap();
    std::string name;
    if (EncodeDisplayName(charset, line.c_str(), name) == 0) {
        QuoteDisplayName(name);
        CheckHeaderText(name);
    }
    std::string subject;
    EncodeSubject(charset, line.c_str(), subject);
    CheckHeaderText(subject);
    return 0;
}
