// UTF-16 text to bytes of a named character set, through one cached conversion descriptor.
#pragma once

#include "platform/charset_conversion.h"

#include <windows.h>

#include <cstddef>
#include <mutex>
#include <string>

namespace SMTPClientNS {

class CharsetConverterTestPeer;

// The process-wide converter. It keeps one descriptor from UTF-16LE into the character set
// last asked for and reopens it only when the name changes. Characters the target set cannot
// represent are left out. Conversions are serialised by a lock, so any thread may convert.
class CCharsetConverter {
public:
    // The one instance, created on first use (thread-safe) and destroyed at process exit.
    static CCharsetConverter& Instance();

    ~CCharsetConverter();
    CCharsetConverter(const CCharsetConverter&) = delete;
    CCharsetConverter& operator=(const CCharsetConverter&) = delete;

    // How line ends of the text reach the output.
    enum class LineEnds {
        AsGiven,
        CrLf, // every CR, LF and CR LF becomes CR LF
    };

    // Converts the NUL-terminated text into charset. On success returns 0, *out receives a new
    // area (release with delete[]) that holds the bytes and a zero byte after them, and
    // *outLen the number of bytes. Failures leave out and outLen unchanged: -1 empty charset,
    // null argument or empty text; -19 invalid inner arguments or no memory for the output;
    // -20 no memory for the working buffer; -21 character set unknown (or a name too long to
    // open); -22 the conversion failed after producing output.
    int ConvertFromWide(std::string charset, const WCHAR* text, char** out, size_t* outLen,
                        LineEnds lineEnds = LineEnds::AsGiven);

private:
    friend class CharsetConverterTestPeer; // creates private instances, reads openCount_

    CCharsetConverter();

    // Outcome of ConvertBytes: one of these, or the positive errno value of a failed
    // conversion.
    static constexpr int kConverted = 0;
    static constexpr int kInvalid = -1;
    static constexpr int kCannotOpen = -2;
    static constexpr int kNoWorkingMemory = -3;

    // Converts units of text; with CR LF line ends, the first crLfUnits have them already.
    int ConvertUnits(const WCHAR* text, size_t units, size_t crLfUnits, LineEnds lineEnds,
                     const std::string& charset, char** out, size_t* outLen);
    bool UseCharset(const std::string& charset);
    static int Empty(char** out, size_t* outLen);
    void Forget();

    CharsetConversion conversion_;
    std::string charset_;  // name the descriptor was opened for; empty when there is none
    size_t openCount_ = 0; // descriptor openings tried by this instance (observed by tests)
    std::mutex lock_;
};

} // namespace SMTPClientNS
