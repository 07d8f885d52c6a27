// iconv over the Windows code pages, from libgpg-error (gpgrt_w32_iconv_*).
#include "platform/charset_conversion.h"

#include <gpg-error.h>

#include <cerrno>
#include <string>

namespace SMTPClientNS {

namespace {

const size_t kIconvFailure = static_cast<size_t>(-1);
const char kSource[] = "UTF-16LE";
const char kIgnoreSuffix[] = "//IGNORE";

} // namespace

bool CharsetConversion::Open(const char* charset, bool skipInvalid) {
    const std::string name = skipInvalid ? std::string(charset) + kIgnoreSuffix : charset;
    const gpgrt_w32_iconv_t descriptor = gpgrt_w32_iconv_open(name.c_str(), kSource);
    if (descriptor == reinterpret_cast<gpgrt_w32_iconv_t>(-1) || !descriptor)
        return false;
    descriptor_ = descriptor;
    skipsInvalid_ = skipInvalid;
    return true;
}

void CharsetConversion::Reset() {
    gpgrt_w32_iconv(static_cast<gpgrt_w32_iconv_t>(descriptor_), nullptr, nullptr, nullptr,
                    nullptr);
}

int CharsetConversion::Convert(const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    errno = 0;
    if (gpgrt_w32_iconv(static_cast<gpgrt_w32_iconv_t>(descriptor_), in, inLeft, out, outLeft) ==
        kIconvFailure)
        return errno > 0 ? errno : EILSEQ;
    return 0;
}

int CharsetConversion::Finish(char** out, size_t* outLeft) {
    errno = 0;
    if (gpgrt_w32_iconv(static_cast<gpgrt_w32_iconv_t>(descriptor_), nullptr, nullptr, out,
                        outLeft) == kIconvFailure)
        return errno > 0 ? errno : E2BIG;
    return 0;
}

void CharsetConversion::Close() {
    if (descriptor_)
        gpgrt_w32_iconv_close(static_cast<gpgrt_w32_iconv_t>(descriptor_));
    descriptor_ = nullptr;
}

} // namespace SMTPClientNS
