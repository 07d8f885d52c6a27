#include "compose/encoded_words.h"

#include "compose/header_block.h"
#include "text/charset_converter.h"

#include <algorithm>
#include <memory>

namespace SMTPClientNS {

namespace {

// Converts text into charset; returns 0 or the conversion code.
int Convert(const std::string& charset, const WideString& text, std::string& bytes) {
    char* converted = nullptr;
    size_t length = 0;
    const int result =
        CCharsetConverter::Instance().ConvertFromWide(charset, text.c_str(), &converted, &length);
    if (result != 0)
        return result;
    std::unique_ptr<char[]> owned(converted);
    bytes.assign(converted, length);
    return 0;
}

// The index after the character that starts at index (a surrogate pair is one character).
size_t NextCharacter(const WideString& text, size_t index) {
    const bool pair = index + 1 < text.size() && text[index] >= 0xD800 && text[index] < 0xDC00 &&
                      text[index + 1] >= 0xDC00 && text[index + 1] < 0xE000;
    return index + (pair ? 2 : 1);
}

// Appends one word, after a space when the run already has one (first is then false).
void AppendWord(const std::string& charset, const std::string& bytes, bool& first,
                std::string& out) {
    if (bytes.empty())
        return;
    if (!first)
        out += ' ';
    first = false;
    out += "=?" + charset + "?b?" +
           EncodeBase64(reinterpret_cast<const unsigned char*>(bytes.data()), bytes.size()) + "?=";
}

// The end of the next word that starts at start, and its bytes: the longest run of whole
// characters that fits, or, when more text follows, the longest of those whose byte count is
// a multiple of 3 (no base64 padding). At least one character.
int NextWord(const std::string& charset, const WideString& text, size_t start, size_t maxBytes,
             size_t& end, std::string& bytes) {
    size_t fitting = 0, aligned = 0;
    std::string fittingBytes, alignedBytes;
    for (size_t next = NextCharacter(text, start); next <= text.size();
         next = NextCharacter(text, next)) {
        std::string candidate;
        const int result = Convert(charset, text.substr(start, next - start), candidate);
        if (result != 0)
            return result;
        if (fitting != 0 && candidate.size() > maxBytes)
            break;
        fitting = next;
        fittingBytes = candidate;
        if (candidate.size() % 3 == 0) {
            aligned = next;
            alignedBytes = candidate;
        }
        if (candidate.size() > maxBytes)
            break; // a single character that does not fit: it stands alone
    }
    const bool useAligned = aligned != 0 && fitting < text.size();
    end = useAligned ? aligned : fitting;
    bytes = useAligned ? alignedBytes : fittingBytes;
    return 0;
}

} // namespace

int AppendEncodedWords(const std::string& charset, const WideString& text, std::string& out,
                       size_t firstWordLength) {
    if (text.empty())
        return 0;
    // The bytes a word of the given length holds: "=?" charset "?b?" ... "?=" frame it.
    const size_t frame = charset.size() + 7;
    auto bytesFor = [frame](size_t length) {
        length = std::min(length, kLongestEncodedWord);
        return (length > frame ? length - frame : 0) / 4 * 3;
    };
    size_t maxBytes = bytesFor(firstWordLength);

    // Most texts fit into one word: one conversion.
    std::string bytes;
    int result = Convert(charset, text, bytes);
    if (result != 0)
        return result;
    bool first = true;
    if (bytes.size() <= maxBytes) {
        AppendWord(charset, bytes, first, out);
        return 0;
    }
    for (size_t start = 0; start < text.size();) {
        size_t end = 0;
        result = NextWord(charset, text, start, maxBytes, end, bytes);
        if (result != 0)
            return result;
        AppendWord(charset, bytes, first, out);
        maxBytes = bytesFor(kLongestEncodedWord);
        start = end;
    }
    return 0;
}

} // namespace SMTPClientNS
