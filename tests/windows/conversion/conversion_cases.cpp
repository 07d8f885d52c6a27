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

} // namespace

int main() {
    CCharsetConverter& converter = CCharsetConverter::Instance();
    for (const char* charset : kCharsets) {
        for (const Text& t : kTexts) {
            char* out = nullptr;
            size_t length = 0;
            const int result = converter.ConvertFromWide(charset, t.text, &out, &length);
            std::string hex;
            for (size_t i = 0; result == 0 && i < length; ++i) {
                char byte[3];
                std::snprintf(byte, sizeof byte, "%02x", static_cast<unsigned char>(out[i]));
                hex += byte;
            }
            delete[] out;
            std::printf("%s %s %d %s\n", charset, t.name, result, hex.empty() ? "-" : hex.c_str());
        }
    }
    return 0;
}
