// UTF-16LE into a named character set over the Windows code pages (WideCharToMultiByte).
//
// Windows has no iconv. This adapter maps the character set names to code pages and gives
// iconv's "//IGNORE" outcome: characters the set cannot represent, and unpaired surrogates,
// are left out and the conversion goes on. Where a code page is wider than the named set
// (code page 936 for gb2312) its extra characters are left out as well.
#include "platform/charset_conversion.h"

#include <windows.h>

#include <cerrno>
#include <cstring>
#include <string>

namespace SMTPClientNS {

namespace {

const UINT kUtf16 = 1200; // no Windows conversion: the bytes are written here

// Character set names (lower case) and their code pages.
struct NamedCodePage {
    const char* name;
    UINT codePage;
};

const NamedCodePage kCodePages[] = {
    {"utf-8", CP_UTF8},     {"utf8", CP_UTF8},      {"utf-7", CP_UTF7},
    {"utf7", CP_UTF7},      {"utf-16", kUtf16},     {"utf16", kUtf16},
    {"us-ascii", 20127},    {"ascii", 20127},       {"ansi_x3.4-1968", 20127},
    {"iso-8859-1", 28591},  {"iso8859-1", 28591},   {"latin1", 28591},
    {"iso-8859-2", 28592},  {"iso8859-2", 28592},   {"latin2", 28592},
    {"iso-8859-3", 28593},  {"iso-8859-4", 28594},  {"iso-8859-5", 28595},
    {"iso-8859-6", 28596},  {"iso-8859-7", 28597},  {"iso-8859-8", 28598},
    {"iso-8859-9", 28599},  {"iso-8859-13", 28603}, {"iso-8859-15", 28605},
    {"iso8859-15", 28605},  {"latin-9", 28605},     {"windows-1250", 1250},
    {"windows-1251", 1251}, {"windows-1252", 1252}, {"windows-1253", 1253},
    {"windows-1254", 1254}, {"windows-1255", 1255}, {"windows-1256", 1256},
    {"windows-1257", 1257}, {"windows-1258", 1258}, {"cp1250", 1250},
    {"cp1251", 1251},       {"cp1252", 1252},       {"cp1253", 1253},
    {"cp1254", 1254},       {"cp1255", 1255},       {"cp1256", 1256},
    {"cp1257", 1257},       {"cp1258", 1258},       {"windows-874", 874},
    {"koi8-r", 20866},      {"koi8-u", 21866},      {"cp866", 866},
    {"ibm866", 866},        {"shift_jis", 932},     {"shift-jis", 932},
    {"sjis", 932},          {"cp932", 932},         {"windows-31j", 932},
    {"euc-jp", 20932},      {"iso-2022-jp", 20932}, {"gb2312", 936},
    {"euc-cn", 936},        {"gbk", 936},           {"cp936", 936},
    {"gb18030", 54936},     {"big5", 950},          {"big-5", 950},
    {"cp950", 950},         {"euc-kr", 949},        {"ks_c_5601-1987", 949},
};

// How a set differs from the code page that serves it.
enum class Form {
    Plain,     // the code page is the set
    Gb2312,    // code page 936 limited to GB 2312
    EucJp,     // code page 20932, JIS X 0212 moved to its EUC-JP form (0x8F and two bytes)
    Iso2022Jp, // code page 20932 limited to ASCII and JIS X 0208, written with escapes
};

// GB 2312 within code page 936: ASCII and the pairs A1-F7 A1-FE, less the rows that GBK
// fills where GB 2312 has none (AA-AF) and the cells GBK adds to rows 2, 6 and 8.
bool IsGb2312(const std::string& bytes) {
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80)
            continue;
        if (i + 1 >= bytes.size() || lead < 0xA1 || lead > 0xF7 || (lead >= 0xAA && lead <= 0xAF))
            return false;
        const unsigned char trail = static_cast<unsigned char>(bytes[++i]);
        if (trail < 0xA1 || trail > 0xFE)
            return false;
        if ((lead == 0xA2 && trail <= 0xB0) || (lead == 0xA6 && trail >= 0xD9) ||
            (lead == 0xA6 && trail >= 0xB9 && trail <= 0xC0) ||
            (lead == 0xA8 && trail >= 0xBB && trail <= 0xC4))
            return false;
    }
    return true;
}

// Code page 20932 writes JIS X 0212 as a lead byte A1-FE and a trail byte 21-7E; EUC-JP
// writes 0x8F and both bytes with the high bit set. Half-width katakana are 0x8E and a byte.
// Returns false when the bytes hold a form that `form` does not allow.
bool ToEucJp(std::string& bytes, Form form) {
    std::string fixed;
    for (size_t i = 0; i < bytes.size(); ++i) {
        const unsigned char lead = static_cast<unsigned char>(bytes[i]);
        if (lead < 0x80) {
            fixed += char(lead);
            continue;
        }
        if (i + 1 >= bytes.size())
            return false;
        const unsigned char trail = static_cast<unsigned char>(bytes[++i]);
        if (lead == 0x8E) { // half-width katakana: not in ISO-2022-JP
            if (form == Form::Iso2022Jp)
                return false;
            fixed += char(lead);
            fixed += char(trail);
        } else if (lead >= 0xA1 && trail >= 0x21 && trail <= 0x7E) { // JIS X 0212
            if (form == Form::Iso2022Jp)
                return false;
            fixed += '\x8F';
            fixed += char(lead);
            fixed += char(trail | 0x80);
        } else if (lead >= 0xA1 && trail >= 0xA1) {
            fixed += char(lead);
            fixed += char(trail);
        } else {
            return false;
        }
    }
    bytes.swap(fixed);
    return true;
}

// EUC-JP bytes of ASCII and JIS X 0208 written as ISO-2022-JP: ESC $ B before JIS X 0208, ESC
// ( B before ASCII. jis tells whether the text so far ends in JIS X 0208, before and after;
// Finish writes the ESC ( B that ends such a text.
std::string ToIso2022Jp(const std::string& euc, bool& jis) {
    std::string out;
    for (size_t i = 0; i < euc.size(); ++i) {
        const unsigned char c = static_cast<unsigned char>(euc[i]);
        if (c < 0x80) {
            if (jis)
                out += "\x1B(B";
            jis = false;
            out += char(c);
        } else if (i + 1 < euc.size()) {
            if (!jis)
                out += "\x1B$B";
            jis = true;
            out += char(c & 0x7F);
            out += char(euc[++i] & 0x7F);
        }
    }
    return out;
}

// Code page 65000 ends every base64 run with '-'; iconv leaves the '-' out where the next
// character cannot be read as base64 anyway (both forms are valid UTF-7).
std::string TrimUtf7(const std::string& utf7) {
    const auto isBase64 = [](char c) {
        return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') ||
               c == '+' || c == '/';
    };
    std::string out;
    bool inBase64 = false;
    for (size_t i = 0; i < utf7.size(); ++i) {
        const char c = utf7[i];
        if (!inBase64) {
            out += c;
            if (c == '+' && i + 1 < utf7.size() && utf7[i + 1] != '-')
                inBase64 = true;
            else if (c == '+' && i + 1 < utf7.size())
                out += utf7[++i]; // "+-" is a literal '+'
            continue;
        }
        if (isBase64(c)) {
            out += c;
            continue;
        }
        inBase64 = false;
        const bool last = i + 1 == utf7.size();
        if (c == '-' && !last && !isBase64(utf7[i + 1]) && utf7[i + 1] != '-')
            continue;
        out += c;
    }
    return out;
}

struct Target {
    UINT codePage;
    Form form;
    bool skipInvalid; // leave out what cannot be converted instead of stopping
    // The state of the text being converted, carried from one piece to the next.
    bool started = false; // UTF-16: the byte order mark has been written
    bool jis = false;     // ISO-2022-JP: the output so far ends in JIS X 0208
};

// Code pages that cannot report a replaced character; a round trip tells instead.
bool ReportsDefaultChar(UINT codePage) {
    return !(codePage == CP_UTF7 || codePage == CP_UTF8 || codePage == 54936 ||
             (codePage >= 50220 && codePage <= 50229));
}

// The bytes of the wide text in the target's code page; false when one of its characters has
// no form there.
bool Encode(const Target& target, const wchar_t* text, int n, std::string& bytes) {
    const bool report = ReportsDefaultChar(target.codePage);
    const DWORD flags = report ? WC_NO_BEST_FIT_CHARS : 0;
    BOOL usedDefault = FALSE;
    const int size = WideCharToMultiByte(target.codePage, flags, text, n, nullptr, 0, nullptr,
                                         report ? &usedDefault : nullptr);
    if (size <= 0)
        return false;
    bytes.resize(size);
    WideCharToMultiByte(target.codePage, flags, text, n, bytes.data(), size, nullptr,
                        report ? &usedDefault : nullptr);
    if (usedDefault)
        return false;
    if (target.form == Form::Gb2312 && !IsGb2312(bytes))
        return false;
    if ((target.form == Form::EucJp || target.form == Form::Iso2022Jp) &&
        !ToEucJp(bytes, target.form))
        return false;
    if (!report && target.codePage != CP_UTF7 && target.codePage != CP_UTF8) {
        // The text must come back unchanged (code page 50220 turns half-width katakana into
        // full-width ones, which ISO-2022-JP does not have).
        const int back = MultiByteToWideChar(target.codePage, 0, bytes.data(), size, nullptr, 0);
        std::wstring again(back > 0 ? back : 0, L'\0');
        if (back <= 0 ||
            MultiByteToWideChar(target.codePage, 0, bytes.data(), size, again.data(), back) !=
                back ||
            again != std::wstring(text, n))
            return false;
    }
    return true;
}

// Code page 1258 writes Vietnamese with a base letter and a combining tone mark, as iconv
// does: a letter it lacks becomes a composed letter it has plus the remaining marks.
bool DecomposeFor1258(const Target& target, const std::wstring& letter, std::wstring& form) {
    wchar_t split[8];
    const int n = NormalizeString(NormalizationD, letter.data(), int(letter.size()), split, 8);
    std::string bytes;
    for (int head = n - 1; head >= 1; --head) {
        wchar_t composed[8];
        const int m = NormalizeString(NormalizationC, split, head, composed, 8);
        if (m <= 0 || !Encode(target, composed, m, bytes))
            continue;
        form.assign(composed, m);
        bool marksFit = true;
        for (int i = head; i < n && marksFit; ++i)
            marksFit = Encode(target, split + i, 1, bytes);
        if (marksFit) {
            form.append(split + head, n - head);
            return true;
        }
    }
    // The base letter composed with one of its marks, the others after it ("ệ": "ê" and the
    // dot below).
    for (int mark = 2; mark < n; ++mark) {
        const wchar_t pair[2] = {split[0], split[mark]};
        wchar_t composed[8];
        const int m = NormalizeString(NormalizationC, pair, 2, composed, 8);
        if (m != 1 || !Encode(target, composed, 1, bytes))
            continue;
        form.assign(composed, 1);
        bool marksFit = true;
        for (int i = 1; i < n && marksFit; ++i) {
            if (i != mark) {
                marksFit = Encode(target, split + i, 1, bytes);
                form += split[i];
            }
        }
        if (marksFit)
            return true;
    }
    return false;
}

bool IsHighSurrogate(wchar_t c) {
    return c >= 0xD800 && c <= 0xDBFF;
}

bool IsLowSurrogate(wchar_t c) {
    return c >= 0xDC00 && c <= 0xDFFF;
}

} // namespace

bool CharsetConversion::Open(const char* charset, bool skipInvalid) {
    std::string name;
    for (const char* p = charset; *p && *p != '/'; ++p)
        name += (*p >= 'A' && *p <= 'Z') ? char(*p - 'A' + 'a') : *p;
    for (const NamedCodePage& entry : kCodePages) {
        if (name != entry.name)
            continue;
        if (entry.codePage != kUtf16 && !IsValidCodePage(entry.codePage))
            return false;
        Form form = Form::Plain;
        if (name == "gb2312" || name == "euc-cn")
            form = Form::Gb2312;
        else if (name == "euc-jp")
            form = Form::EucJp;
        else if (name == "iso-2022-jp")
            form = Form::Iso2022Jp;
        descriptor_ = new Target{entry.codePage, form, skipInvalid, false, false};
        skipsInvalid_ = skipInvalid;
        return true;
    }
    return false;
}

void CharsetConversion::Reset() {
    Target& target = *static_cast<Target*>(descriptor_);
    target.started = false;
    target.jis = false;
}

int CharsetConversion::Convert(const char** in, size_t* inLeft, char** out, size_t* outLeft) {
    Target& target = *static_cast<Target*>(descriptor_);
    // The input as wide characters, unpaired surrogates left out (or the end of the text).
    std::wstring text;
    text.reserve(*inLeft / 2);
    const unsigned char* bytes = reinterpret_cast<const unsigned char*>(*in);
    const size_t units = *inLeft / 2;
    int stop = *inLeft % 2 ? EINVAL : 0;
    size_t used = units;
    for (size_t i = 0; i < units; ++i) {
        const wchar_t c = wchar_t(bytes[2 * i] | bytes[2 * i + 1] << 8);
        if (IsHighSurrogate(c) && i + 1 < units) {
            const wchar_t next = wchar_t(bytes[2 * i + 2] | bytes[2 * i + 3] << 8);
            if (IsLowSurrogate(next)) {
                text += c;
                text += next;
                ++i;
                continue;
            }
        }
        if (IsHighSurrogate(c) || IsLowSurrogate(c)) {
            if (IsHighSurrogate(c) && i + 1 == units) {
                stop = EINVAL; // the text ends inside a character
                used = i;
                break;
            }
            if (!target.skipInvalid) {
                stop = EILSEQ;
                used = i;
                break;
            }
            continue;
        }
        text += c;
    }

    std::string result;
    if (target.codePage == kUtf16) {
        // A byte order mark before the first unit of the text, then little-endian units, as
        // iconv writes "UTF-16".
        if (!target.started && !text.empty())
            result = "\xFF\xFE";
        for (wchar_t c : text) {
            result += char(c & 0xFF);
            result += char(c >> 8);
        }
    } else if (!text.empty() && !Encode(target, text.data(), int(text.size()), result)) {
        // Some character has no form in the set: keep those that have one, then encode the
        // kept text as a whole so that a stateful set switches modes only where needed.
        std::wstring kept;
        std::string single;
        for (size_t i = 0; i < text.size();) {
            const int n = IsHighSurrogate(text[i]) ? 2 : 1;
            std::wstring form;
            if (Encode(target, text.data() + i, n, single))
                kept.append(text, i, n);
            else if (target.codePage == 1258 && DecomposeFor1258(target, text.substr(i, n), form))
                kept += form;
            else if (!target.skipInvalid) {
                stop = EILSEQ;
                used = i; // approximate: counts kept units only
                break;
            }
            i += n;
        }
        result.clear();
        if (!kept.empty() && !Encode(target, kept.data(), int(kept.size()), result))
            return EILSEQ;
    }

    // The state changes only once the bytes are written: a full output is retried.
    bool jis = target.jis;
    if (target.form == Form::Iso2022Jp)
        result = ToIso2022Jp(result, jis);
    else if (target.codePage == CP_UTF7)
        result = TrimUtf7(result);

    if (result.size() > *outLeft)
        return E2BIG;
    target.jis = jis;
    if (!result.empty())
        target.started = true;
    std::memcpy(*out, result.data(), result.size());
    *out += result.size();
    *outLeft -= result.size();
    *in += 2 * used;
    *inLeft -= 2 * used;
    return stop;
}

// Each piece of UTF-7 ends its base64 run itself; only ISO-2022-JP has a state to end.
int CharsetConversion::Finish(char** out, size_t* outLeft) {
    Target& target = *static_cast<Target*>(descriptor_);
    if (!target.jis)
        return 0;
    static const char kBackToAscii[] = "\x1B(B";
    const size_t length = sizeof kBackToAscii - 1;
    if (*outLeft < length)
        return E2BIG;
    std::memcpy(*out, kBackToAscii, length);
    *out += length;
    *outLeft -= length;
    target.jis = false;
    return 0;
}

void CharsetConversion::Close() {
    delete static_cast<Target*>(descriptor_);
    descriptor_ = nullptr;
}

} // namespace SMTPClientNS
