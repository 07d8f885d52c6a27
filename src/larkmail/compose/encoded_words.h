// RFC 2047 encoded-words for header text: base64 words in the message's charset, each at most
// 75 characters long and cut only between characters.
#pragma once

#include "text/wide_text.h"

#include <string>

namespace SMTPClientNS {

// The longest encoded-word, "=?" charset "?b?" text "?=" included.
inline constexpr size_t kLongestEncodedWord = 75;

// Appends text as a run of encoded-words separated by single spaces (which decoders drop
// between words, so the run decodes to exactly the text). Each word holds whole characters,
// converted on its own, so a stateful charset ends every word in its initial state. Words
// that are followed by another word hold a multiple of 3 bytes where the text allows it: some
// decoders lose the rest of a run after a word that ends in base64 padding. Characters the
// charset cannot represent are left out; a text that converts to nothing appends nothing. A
// charset name too long to leave room for one character still gives one character per word.
// The first word is at most firstWordLength characters long (at most 75), so that it fits on
// a line after the field name. Returns 0 or the negative conversion code (out then holds the
// words made so far).
int AppendEncodedWords(const std::string& charset, const WideString& text, std::string& out,
                       size_t firstWordLength = kLongestEncodedWord);

} // namespace SMTPClientNS
