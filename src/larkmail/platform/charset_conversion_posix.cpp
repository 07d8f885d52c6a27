// The C library's iconv, with glibc's way of skipping brought in line with GNU libiconv's.
#include "platform/charset_conversion.h"

#include <iconv.h>

#include <cerrno>
#include <string>

namespace SMTPClientNS {

namespace {

const iconv_t kNoDescriptor = reinterpret_cast<iconv_t>(-1);
const size_t kIconvFailure = static_cast<size_t>(-1);
const char kSource[] = "utf-16le";
const char kIgnoreSuffix[] = "//IGNORE";

} // namespace

bool CharsetConversion::Open(const char* charset, bool skipInvalid) {
    const std::string name = skipInvalid ? std::string(charset) + kIgnoreSuffix : charset;
    const iconv_t descriptor = iconv_open(name.c_str(), kSource);
    if (descriptor == kNoDescriptor)
        return false;
    descriptor_ = descriptor;
    skipsInvalid_ = skipInvalid;
    return true;
}

void CharsetConversion::Reset() {
    iconv(static_cast<iconv_t>(descriptor_), nullptr, nullptr, nullptr, nullptr);
}

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
// suffix stops at invalid input on both libraries alike.
int CharsetConversion::Convert(const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    const iconv_t descriptor = static_cast<iconv_t>(descriptor_);
    char** input = const_cast<char**>(in);
    errno = 0;
    size_t rc = iconv(descriptor, input, inLeft, out, outLeft);
    int error = errno;
    while (skipsInvalid_ && rc == kIconvFailure && error == EILSEQ) {
        if (*inLeft == 0) {
            rc = 0;
            break;
        }
        const size_t before = *inLeft;
        errno = 0;
        rc = iconv(descriptor, input, inLeft, out, outLeft);
        error = errno;
        if (*inLeft == before)
            break;
    }
    if (rc == kIconvFailure)
        return error > 0 ? error : EILSEQ;
    return 0;
}

int CharsetConversion::Finish(char** out, size_t* outLeft) {
    errno = 0;
    if (iconv(static_cast<iconv_t>(descriptor_), nullptr, nullptr, out, outLeft) == kIconvFailure)
        return errno > 0 ? errno : E2BIG;
    return 0;
}

void CharsetConversion::Close() {
    if (descriptor_)
        iconv_close(static_cast<iconv_t>(descriptor_));
    descriptor_ = nullptr;
}

} // namespace SMTPClientNS
