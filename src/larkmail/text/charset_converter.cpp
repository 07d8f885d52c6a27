#include "text/charset_converter.h"

#include "larkmail/larkmail.h"

#include <bit>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace SMTPClientNS {

namespace {

// Text is handed to the conversion as UTF-16LE by copying the WCHAR units as they are in
// memory.
static_assert(std::endian::native == std::endian::little, "UTF-16 units must be little-endian");

// The longest charset name opened: with iconv's 8-byte "//IGNORE" suffix and a terminator it
// fills 512 bytes.
const size_t kMaxCharsetName = 503;
// Bytes that a stateful target may need to return to its initial state at the end.
const size_t kClosingShiftRoom = 16;

// The characters of a MIME charset name. The name is written into header lines and part
// types, and iconv ignores characters it does not expect in a name, so "UTF-8\r\n" would
// convert as UTF-8 and carry its line break into the message: such names are refused.
bool IsMimeCharsetName(const std::string& name) {
    static const std::string_view extra = "!#$%&'+-^_`{}~";
    for (const char c : name) {
        const bool alphanumeric =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alphanumeric && extra.find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

} // namespace

CCharsetConverter& CCharsetConverter::Instance() {
    static CCharsetConverter instance;
    return instance;
}

// The first descriptor converts into "utf-8" without skipping.
CCharsetConverter::CCharsetConverter() {
    ++openCount_;
    if (conversion_.Open("utf-8", false))
        charset_ = "utf-8";
}

CCharsetConverter::~CCharsetConverter() {
    Forget();
}

void CCharsetConverter::Forget() {
    conversion_.Close();
    charset_.clear();
}

int CCharsetConverter::ConvertFromWide(std::string charset, const WCHAR* text, char** out,
                                       size_t* outLen) {
    if (charset.empty() || !text || !out || !outLen)
        return -1;
    // Lengths are counted as a signed 32-bit number; longer texts are refused.
    const size_t units = wcsnlen(text, size_t(INT32_MAX) + 1);
    if (units == 0 || units > size_t(INT32_MAX))
        return -1;

    const size_t n = units * sizeof(WCHAR);
    std::unique_ptr<char[]> input(new (std::nothrow) char[n + 1]);
    if (!input)
        return SMTP_ERR_CONVERT_MEMORY;
    std::memset(input.get(), 0, n + 1);
    std::memcpy(input.get(), text, n);

    int outcome;
    {
        std::lock_guard<std::mutex> guard(lock_);
        outcome = ConvertBytes(input.get(), n, charset, out, outLen);
    }
    switch (outcome) {
    case kConverted:
        return 0;
    case kInvalid:
        return SMTP_ERR_CONVERT_PARAM;
    case kCannotOpen:
        return SMTP_ERR_CHARSET_UNSUPPORTED;
    default:
        return SMTP_ERR_CONVERT_GENERAL;
    }
}

// Converts n bytes of UTF-16LE in one pass into an area of 5 * n + 1 bytes, which holds the
// longest output of any target set, plus room for a closing shift sequence. Runs under lock_. A
// conversion that stops after producing output fails and forgets its descriptor; one that stops
// before producing anything yields empty output.
int CCharsetConverter::ConvertBytes(const char* input, size_t n, const std::string& charset,
                                    char** out, size_t* outLen) {
    if (!input || n == 0 || charset.empty() || !out || !outLen)
        return kInvalid;
    const size_t capacity = 5 * n + 1 + kClosingShiftRoom;
    std::unique_ptr<char[]> output(new (std::nothrow) char[capacity]());
    if (!output)
        return kInvalid;

    if (!conversion_.IsOpen() || charset != charset_) {
        if (charset.size() > kMaxCharsetName || !IsMimeCharsetName(charset))
            return kCannotOpen;
        ++openCount_;
        CharsetConversion fresh;
        if (!fresh.Open(charset.c_str(), true))
            return kCannotOpen;
        Forget();
        conversion_ = fresh;
        charset_ = charset;
    }

    const char* in = input;
    size_t inLeft = n;
    char* outPtr = output.get();
    size_t outLeft = capacity;
    const int error = conversion_.Convert(&in, &inLeft, &outPtr, &outLeft);
    const size_t produced = capacity - outLeft;
    if (error != 0 && produced != 0) {
        Forget();
        return error;
    }
    *out = output.release();
    *outLen = produced;
    return kConverted;
}

} // namespace SMTPClientNS
