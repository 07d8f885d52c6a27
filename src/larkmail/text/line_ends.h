// Line ends of UTF-16 text rewritten to CR LF while it is copied, piece by piece.
#pragma once

#include <windows.h>

#include <cstddef>

namespace SMTPClientNS {

// The end of the longest start of [p, end) whose line ends are all complete CR LF pairs: the
// first lone CR or LF, a CR that ends the range, or end.
const WCHAR* EndOfCrLfText(const WCHAR* p, const WCHAR* end);

// The number of units before the terminating zero, at most max (like wcsnlen), in one pass
// that also sets *crLfUnits to the length of the text's longest start whose line ends are all
// complete CR LF pairs (what EndOfCrLfText gives for the whole text). Reads whole aligned
// 16-byte blocks, which may reach past the terminator but never into another page.
size_t MeasureCrLfText(const WCHAR* text, size_t max, size_t* crLfUnits);

// Copies text in consecutive pieces and turns every CR, LF and CR LF into CR LF. A CR at the
// end of one piece and an LF at the start of the next still make one line end.
class CrLfWriter {
public:
    // The room a target needs at least: one unit may become two.
    static constexpr size_t kMinimumRoom = 2;

    // Copies units from *in up to end into target, which has room for room units (at least
    // kMinimumRoom), and advances *in past what it took. Returns the number of units written.
    size_t Copy(const WCHAR** in, const WCHAR* end, WCHAR* target, size_t room);

private:
    bool afterCr_ = false; // the last unit taken was a CR: an LF right after it belongs to it
};

} // namespace SMTPClientNS
