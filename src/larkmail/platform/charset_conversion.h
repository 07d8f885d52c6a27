// Conversion of UTF-16LE text into a named character set by the platform's iconv.
#pragma once

#include <cstddef>

namespace SMTPClientNS {

// A handle on one open conversion, like an iconv descriptor: copies name the same conversion,
// and Close ends it for all of them. A conversion of one text is Reset, any number of Convert
// calls over consecutive pieces of it, then Finish.
class CharsetConversion {
public:
    // Opens a conversion from UTF-16LE into charset; false when the platform does not know the
    // set. With skipInvalid, characters the set cannot represent and invalid input are left
    // out and the conversion goes on.
    bool Open(const char* charset, bool skipInvalid);
    bool IsOpen() const { return descriptor_ != nullptr; }
    // Returns the conversion to its initial state, forgetting what a previous text left.
    void Reset();
    // Converts as much of the input as fits into the output, advancing both and lowering both
    // counts; the shift state carries over to the next call. Returns 0 when all input was
    // converted, else the errno value of the stop: EILSEQ (input that cannot be converted),
    // EINVAL (the input ends inside a character; the rest of it is left unconsumed) or E2BIG
    // (the output is full).
    int Convert(const char** in, size_t* inLeft, char** out, size_t* outLeft);
    // Writes the sequence that returns a stateful set (UTF-7, ISO-2022-JP) to its initial
    // state, so that the text decodes on its own. Returns 0 or E2BIG.
    int Finish(char** out, size_t* outLeft);
    void Close();

private:
    void* descriptor_ = nullptr;
    bool skipsInvalid_ = false;
};

} // namespace SMTPClientNS
