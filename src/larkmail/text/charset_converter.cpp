#include "text/charset_converter.h"

#include "larkmail/larkmail.h"
#include "text/line_ends.h"
#include "text/unit_scan.h"

#include <algorithm>
#include <bit>
#include <cerrno>
#include <cstdint>
#include <cstring>
#include <memory>
#include <new>
#include <string_view>

namespace SMTPClientNS {

namespace {

// Text is handed to the conversion as UTF-16LE by copying the WCHAR units as they are in
// memory.
static_assert(std::endian::native == std::endian::little, "UTF-16 units must be little-endian");

// The longest charset name opened: with iconv's 8-byte "//IGNORE" suffix and a terminator it
// fills 512 bytes.
const size_t kMaxCharsetName = 503;
// Bytes that a stateful target may need to return to its initial state at the end.
const size_t kClosingShiftRoom = 16;

// The characters of a MIME charset name. The name is written into header lines and part
// types, and iconv ignores characters it does not expect in a name, so "UTF-8\r\n" would
// convert as UTF-8 and carry its line break into the message: such names are refused.
bool IsMimeCharsetName(const std::string& name) {
    static const std::string_view extra = "!#$%&'+-^_`{}~";
    for (const char c : name) {
        const bool alphanumeric =
            (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9');
        if (!alphanumeric && extra.find(c) == std::string_view::npos)
            return false;
    }
    return true;
}

// Units of text converted per iconv call, and the room kept for a character split between two
// pieces.
const size_t kPieceUnits = 32 * 1024;
const size_t kCarryRoom = 2;
// Output bytes a piece can need per input byte: ISO-2022-JP switching sets around each
// character needs the most. A piece first gets room for one byte per input byte (two per
// unit, enough for most text); the area grows when that is not enough.
const size_t kOutputPerInputByte = 3;
// The outcome of a piece when the area cannot grow; iconv itself never stops with ENOMEM.
const int kOutOfMemory = ENOMEM;

// The converted bytes: an area that grows by half its size when full and hands its bytes over
// as a delete[] array.
class OutputArea {
public:
    // Makes sure that room more bytes fit; false when memory runs out.
    bool MakeRoom(size_t room) {
        if (capacity_ - used_ >= room)
            return true;
        const size_t capacity = std::max(capacity_ + capacity_ / 2, used_ + room);
        std::unique_ptr<char[]> grown(new (std::nothrow) char[capacity]);
        if (!grown)
            return false;
        if (used_ != 0)
            std::memcpy(grown.get(), bytes_.get(), used_);
        bytes_ = std::move(grown);
        capacity_ = capacity;
        return true;
    }
    char* Cursor() { return bytes_.get() + used_; }
    size_t Free() const { return capacity_ - used_; }
    void Advance(const char* cursor) { used_ = size_t(cursor - bytes_.get()); }
    size_t Used() const { return used_; }
    // Ends the bytes with a zero (room for it is made first) and hands them over.
    char* Release() {
        bytes_[used_] = '\0';
        capacity_ = used_ = 0;
        return bytes_.release();
    }

private:
    std::unique_ptr<char[]> bytes_;
    size_t capacity_ = 0;
    size_t used_ = 0;
};

// Converts one piece into area, growing it whenever the output is full. Returns 0, the errno
// value of the stop, or kOutOfMemory.
int ConvertPiece(CharsetConversion& conversion, OutputArea& area, const char** in, size_t* inLeft) {
    size_t room = *inLeft + kClosingShiftRoom + 1;
    for (;;) {
        if (!area.MakeRoom(room))
            return kOutOfMemory;
        char* cursor = area.Cursor();
        size_t free = area.Free();
        const int error = conversion.Convert(in, inLeft, &cursor, &free);
        area.Advance(cursor);
        if (error != E2BIG)
            return error;
        room = area.Free() + kOutputPerInputByte * *inLeft + 64;
    }
}

// Returns a stateful set to its initial state at the end of the bytes and leaves room for the
// closing zero; false when memory runs out.
bool FinishInto(CharsetConversion& conversion, OutputArea& area) {
    size_t room = kClosingShiftRoom + 1;
    for (;;) {
        if (!area.MakeRoom(room))
            return false;
        char* cursor = area.Cursor();
        size_t free = area.Free();
        const int error = conversion.Finish(&cursor, &free);
        area.Advance(cursor);
        if (error != E2BIG)
            return area.MakeRoom(1);
        room = area.Free() + 64;
    }
}

} // namespace

// Success with no bytes: an area that holds only the closing zero.
int CCharsetConverter::Empty(char** out, size_t* outLen) {
    char* bytes = new (std::nothrow) char[1];
    if (!bytes)
        return kInvalid;
    bytes[0] = '\0';
    *out = bytes;
    *outLen = 0;
    return kConverted;
}

CCharsetConverter& CCharsetConverter::Instance() {
    static CCharsetConverter instance;
    return instance;
}

// The first descriptor converts into "utf-8" without skipping.
CCharsetConverter::CCharsetConverter() {
    ++openCount_;
    if (conversion_.Open("utf-8", false))
        charset_ = "utf-8";
}

CCharsetConverter::~CCharsetConverter() {
    Forget();
}

void CCharsetConverter::Forget() {
    conversion_.Close();
    charset_.clear();
}

int CCharsetConverter::ConvertFromWide(std::string charset, const WCHAR* text, char** out,
                                       size_t* outLen, LineEnds lineEnds) {
    if (charset.empty() || !text || !out || !outLen)
        return -1;
    // Lengths are counted as a signed 32-bit number; longer texts are refused. Text to get
    // CR LF line ends is measured together with the start of it that has them already.
    const size_t max = size_t(INT32_MAX) + 1;
    size_t crLfUnits = 0;
    const size_t units = lineEnds == LineEnds::CrLf ? MeasureCrLfText(text, max, &crLfUnits)
                                                    : BoundedTextLength(text, max);
    if (units == 0 || units > size_t(INT32_MAX))
        return -1;

    int outcome;
    {
        std::lock_guard<std::mutex> guard(lock_);
        outcome = ConvertUnits(text, units, crLfUnits, lineEnds, charset, out, outLen);
    }
    switch (outcome) {
    case kConverted:
        return 0;
    case kInvalid:
        return SMTP_ERR_CONVERT_PARAM;
    case kNoWorkingMemory:
        return SMTP_ERR_CONVERT_MEMORY;
    case kCannotOpen:
        return SMTP_ERR_CHARSET_UNSUPPORTED;
    default:
        return SMTP_ERR_CONVERT_GENERAL;
    }
}

// Opens a skipping descriptor for charset unless the cached one is for exactly that name.
// Runs under lock_; an unknown name keeps the cached descriptor.
bool CCharsetConverter::UseCharset(const std::string& charset) {
    if (conversion_.IsOpen() && charset == charset_)
        return true;
    if (charset.size() > kMaxCharsetName || !IsMimeCharsetName(charset))
        return false;
    ++openCount_;
    CharsetConversion fresh;
    if (!fresh.Open(charset.c_str(), true))
        return false;
    Forget();
    conversion_ = fresh;
    charset_ = charset;
    return true;
}

// Converts the text in pieces of kPieceUnits into a growing area, so that neither a copy of
// the input nor an area for the worst-case output is ever made. With CR LF line ends, text
// up to a line end that needs rewriting is converted as it is, and a piece from there on is
// first rewritten into a small working buffer. A character split between two pieces
// (a surrogate pair) is carried over to the next one. Runs under lock_. A conversion that
// stops after producing output fails and forgets its descriptor; one that stops before
// producing anything yields empty output.
int CCharsetConverter::ConvertUnits(const WCHAR* text, size_t units, size_t crLfUnits,
                                    LineEnds lineEnds, const std::string& charset, char** out,
                                    size_t* outLen) {
    if (!text || units == 0 || charset.empty() || !out || !outLen)
        return kInvalid;
    if (!UseCharset(charset))
        return kCannotOpen;

    const bool rewrite = lineEnds == LineEnds::CrLf;
    std::unique_ptr<WCHAR[]> working;
    size_t workingUnits = 0;
    if (rewrite) {
        // Room for the whole rewritten text when it is short, else for one piece.
        workingUnits = std::min(2 * units, kPieceUnits) + kCarryRoom;
        working.reset(new (std::nothrow) WCHAR[workingUnits]);
        if (!working)
            return kNoWorkingMemory;
    }
    OutputArea area;
    if (!area.MakeRoom(units + units / 8 + kClosingShiftRoom + 1))
        return kInvalid;

    conversion_.Reset();
    CrLfWriter writer;
    const WCHAR* next = text;
    const WCHAR* const end = text + units;
    size_t carried = 0; // units of a split character at the start of the working buffer
    int error = 0;
    for (;;) {
        const char* in;
        size_t inLeft;
        const WCHAR* pieceEnd = next + std::min(size_t(end - next), kPieceUnits);
        // Text whose line ends are CR LF already needs no rewriting: it goes to iconv as it
        // is, up to the first line end that needs it (known for the start of the text).
        if (rewrite && carried == 0)
            pieceEnd = next < text + crLfUnits ? std::min(pieceEnd, text + crLfUnits)
                                               : EndOfCrLfText(next, pieceEnd);
        const bool fromWorking = rewrite && (carried != 0 || pieceEnd == next);
        if (fromWorking) {
            const size_t written =
                writer.Copy(&next, end, working.get() + carried, workingUnits - carried);
            in = reinterpret_cast<const char*>(working.get());
            inLeft = (carried + written) * sizeof(WCHAR);
        } else {
            in = reinterpret_cast<const char*>(next);
            inLeft = size_t(pieceEnd - next) * sizeof(WCHAR);
            next = pieceEnd;
        }
        const bool last = next == end;
        error = ConvertPiece(conversion_, area, &in, &inLeft);
        if (error == EINVAL && !last && inLeft <= kCarryRoom * sizeof(WCHAR)) {
            // Rewritten text continues in the working buffer behind the split character;
            // text taken as it is is simply taken again from the split character on.
            if (rewrite) {
                std::memmove(working.get(), in, inLeft);
                carried = inLeft / sizeof(WCHAR);
            } else {
                next -= inLeft / sizeof(WCHAR);
            }
            error = 0;
            continue;
        }
        carried = 0;
        if (error != 0 || last)
            break;
    }
    if (error == kOutOfMemory)
        return kInvalid;
    if (error != 0) {
        if (area.Used() == 0)
            return Empty(out, outLen);
        Forget();
        return error;
    }
    if (!FinishInto(conversion_, area))
        return kInvalid;
    *outLen = area.Used();
    *out = area.Release();
    return kConverted;
}

} // namespace SMTPClientNS
