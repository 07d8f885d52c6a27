// The failure texts of the result table in the eleven languages the library carries.
#pragma once

#include <windows.h>

namespace SMTPClientNS {

// Values of the language index MessageLanguage.
enum MessageLanguageIndex : int {
    LANGUAGE_ENGLISH = 0,
    LANGUAGE_JAPANESE = 1,
    LANGUAGE_DANISH = 2,
    LANGUAGE_DUTCH = 3,
    LANGUAGE_FRENCH = 4,
    LANGUAGE_GERMAN = 5,
    LANGUAGE_ITALIAN = 6,
    LANGUAGE_NORWEGIAN = 7,
    LANGUAGE_SPANISH = 8,
    LANGUAGE_SWEDISH = 9,
    LANGUAGE_CHINESE_SIMPLIFIED = 10,
};
const int kMessageLanguageCount = 11;

// One text per failure code, -1 to -23.
const int kFailureTextCount = 23;

// The failure texts of a language: element i is the text of public code -(i + 1). An index
// outside 0-10 gives the English texts. The texts are static.
const WCHAR* const* FailureTexts(int language);

} // namespace SMTPClientNS
