// Runs one table of UTF-16 texts through the library's charset converter into every character
// set that must agree between the Linux and Windows builds, and prints one line per case:
//
//   CHARSET TEXT RESULT HEX-BYTES
//
// The same source is built for both; compare_conversions.py compares the two outputs.
#include "text/charset_converter.h"

#include <cstdio>
#include <string>

using SMTPClientNS::CCharsetConverter;

namespace {

const char* const kCharsets[] = {
    "utf-8",        "us-ascii",     "iso-8859-1",   "iso-8859-2",   "iso-8859-15",  "windows-1250",
    "windows-1251", "windows-1252", "windows-1253", "windows-1254", "windows-1255", "windows-1256",
    "windows-1257", "windows-1258", "koi8-r",       "shift_jis",    "euc-jp",       "gb2312",
    "gbk",          "big5",         "utf-7",        "iso-2022-jp",  "utf-16",
};

// A lone high surrogate between two letters: input no character set can take.
const WCHAR kLoneSurrogate[] = {'a', 0xD800, 'b', 0};

struct Text {
    const char* name;
    const WCHAR* text;
};

const Text kTexts[] = {
    {"ascii", TEXT("Hello, world! 0123 ~")},
    {"latin", TEXT("Grüße, café, naïve ½ © ÿ")},
    {"central", TEXT("Żółć gęślą jaźń, Příliš žluťoučký")},
    {"western", TEXT("€ 100 ‚quoted‘ — œ Ÿ Š")},
    {"cyrillic", TEXT("Привет, мир! Ёё")},
    {"greek", TEXT("Καλημέρα κόσμε")},
    {"hebrew", TEXT("שלום עולם")},
    {"arabic", TEXT("مرحبا بالعالم")},
    {"turkish", TEXT("İstanbul ğüşıöç")},
    {"baltic", TEXT("Ąžuolas ėįšųū Rīga")},
    {"vietnamese", TEXT("Tiếng Việt")},
    {"japanese", TEXT("日本語のテキスト、カタカナ")},
    {"halfwidth", TEXT("ｶﾀｶﾅ")},
    {"chinese", TEXT("中文简体 繁體中文")},
    {"emoji", TEXT("A😀B")},
    {"surrogate", kLoneSurrogate},
};

// Sets whose state must carry from one piece of a long text to the next (UTF-7 is left out:
// the Windows build may close a base64 run at a piece end, which decodes the same).
const char* const kLongTextCharsets[] = {"utf-8", "utf-16", "iso-2022-jp", "shift_jis", "euc-jp"};

// A body longer than several pieces of the converter, with bare LF line ends to be made CR LF.
std::basic_string<WCHAR> LongText() {
    std::basic_string<WCHAR> text;
    while (text.size() < 100000)
        text += TEXT("日本語のテキスト line\nカタカナ and ASCII\n");
    return text;
}

void PrintCase(const char* charset, const char* name, const WCHAR* text,
               CCharsetConverter::LineEnds lineEnds) {
    char* out = nullptr;
    size_t length = 0;
    const int result =
        CCharsetConverter::Instance().ConvertFromWide(charset, text, &out, &length, lineEnds);
    std::string hex;
    for (size_t i = 0; result == 0 && i < length; ++i) {
        char byte[3];
        std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(out[i]));
        hex += byte;
    }
    delete[] out;
    std::printf("%s %s %d %s\n", charset, name, result, hex.empty() ? "-" : hex.c_str());
}

} // namespace

int main() {
    for (const char* charset : kCharsets) {
        for (const Text& t : kTexts)
            PrintCase(charset, t.name, t.text, CCharsetConverter::LineEnds::AsGiven);
    }
    const std::basic_string<WCHAR> longText = LongText();
    for (const char* charset : kLongTextCharsets)
        PrintCase(charset, "long-crlf", longText.c_str(), CCharsetConverter::LineEnds::CrLf);
    return 0;
}
