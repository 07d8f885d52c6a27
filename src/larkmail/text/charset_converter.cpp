#include "text/charset_converter.h"

#include "larkmail/larkmail.h"

#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace SMTPClientNS {

namespace {

// Text is handed to iconv as UTF-16LE by copying the WCHAR units as they are in memory.
static_assert(std::endian::native == std::endian::little, "UTF-16 units must be little-endian");

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
const size_t kIconvFailure = static_cast<size_t>(-1);
const char kSource[] = "utf-16le";
const char kIgnoreSuffix[] = "//IGNORE";
// Room for the open name: charset name, suffix and terminator.
const size_t kOpenNameSize = 512;

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

// The first descriptor converts into "utf-8" without the ignore suffix.
CCharsetConverter::CCharsetConverter() : skipsInvalid_(false) {
    ++openCount_;
    descriptor_ = iconv_open("utf-8", kSource);
    if (descriptor_ != kNoDescriptor)
        charset_ = "utf-8";
}

CCharsetConverter::~CCharsetConverter() {
    Forget();
}

void CCharsetConverter::Forget() {
    if (descriptor_ != kNoDescriptor)
        iconv_close(descriptor_);
    descriptor_ = kNoDescriptor;
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
// longest output of any target set. Runs under lock_.
//
// iconv with "//IGNORE" behaves differently in GNU libiconv and in glibc. GNU libiconv skips
// unconvertible characters and invalid input and reports success. glibc skips them too, but
//  - returns -1 with EILSEQ at the end when it skipped anything, even with all input consumed;
//  - on longer input stops after each internal chunk in which it skipped something, returning
//    -1 with EILSEQ with input left over; calling again continues where it stopped;
//  - reports an incomplete sequence at the end of the input (an unpaired high surrogate) with
//    EINVAL, possibly only on the call after such an EILSEQ stop.
// To give GNU libiconv's outcome on both, an EILSEQ from a skipping descriptor is followed by
// further calls while they consume input; once all input is consumed it counts as success.
// EINVAL, E2BIG and an EILSEQ that consumes nothing remain failures. A descriptor without the
// suffix (the first "utf-8" one) stops at invalid input on both libraries alike.
int CCharsetConverter::ConvertBytes(const char* input, size_t n, const std::string& charset,
                                    char** out, size_t* outLen) {
    if (!input || n == 0 || charset.empty() || !out || !outLen)
        return kInvalid;
    const size_t capacity = 5 * n + 1;
    std::unique_ptr<char[]> output(new (std::nothrow) char[capacity]());
    if (!output)
        return kInvalid;

    if (descriptor_ == kNoDescriptor || charset != charset_) {
        const std::string openName = charset + kIgnoreSuffix;
        if (openName.size() >= kOpenNameSize || !IsMimeCharsetName(charset))
            return kCannotOpen;
        ++openCount_;
        const iconv_t fresh = iconv_open(openName.c_str(), kSource);
        if (fresh == kNoDescriptor)
            return kCannotOpen;
        Forget();
        descriptor_ = fresh;
        charset_ = charset;
        skipsInvalid_ = true;
    }

    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);
    char* in = const_cast<char*>(input);
    size_t inLeft = n;
    char* outPtr = output.get();
    size_t outLeft = capacity;
    errno = 0;
    size_t rc = iconv(descriptor_, &in, &inLeft, &outPtr, &outLeft);
    int error = errno;
    while (skipsInvalid_ && rc == kIconvFailure && error == EILSEQ) {
        if (inLeft == 0) {
            rc = 0;
            break;
        }
        const size_t before = inLeft;
        errno = 0;
        rc = iconv(descriptor_, &in, &inLeft, &outPtr, &outLeft);
        error = errno;
        if (inLeft == before)
            break;
    }

    const size_t produced = capacity - outLeft;
    if (rc == kIconvFailure && produced != 0) {
        Forget();
        return error > 0 ? error : EILSEQ;
    }
    *out = output.release();
    *outLen = produced;
    return kConverted;
}

} // namespace SMTPClientNS
