// CrLfWriter: line ends rewritten to CR LF across the pieces a text is copied in.
#include "text/line_ends.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using SMTPClientNS::CrLfWriter;

// Copies text through one writer in pieces of at most piece input units into targets of
// room units each.
std::u16string CopyInPieces(const std::u16string& text, size_t piece, size_t room) {
    CrLfWriter writer;
    std::u16string out;
    const char16_t* next = text.data();
    const char16_t* const end = next + text.size();
    std::u16string target(room, u'\0');
    while (next != end) {
        const char16_t* pieceEnd = next + std::min(piece, size_t(end - next));
        while (next != pieceEnd)
            out.append(target.data(), writer.Copy(&next, pieceEnd, target.data(), room));
    }
    return out;
}

TEST(CrLfWriter, EveryLineEndBecomesCrLfWhereverThePiecesEnd) {
    const struct {
        std::u16string text;
        std::u16string expected;
    } cases[] = {
        {u"a\nb\rc\r\nd", u"a\r\nb\r\nc\r\nd"},
        {u"\r\r\n\n\r", u"\r\n\r\n\r\n\r\n"},
        {u"\n\r", u"\r\n\r\n"},
        {u"x\r", u"x\r\n"},
        {u"\r\n\r\n", u"\r\n\r\n"},
        {u"no breaks", u"no breaks"},
    };
    for (const auto& c : cases) {
        // Pieces of one unit put a CR at the end of a piece and its LF at the start of the
        // next; a room of two units fills the target after every line end.
        for (size_t piece : {size_t(1), size_t(2), size_t(3), size_t(100)}) {
            for (size_t room : {CrLfWriter::kMinimumRoom, size_t(3), size_t(64)}) {
                SCOPED_TRACE(testing::Message() << "piece " << piece << " room " << room);
                EXPECT_EQ(c.expected, CopyInPieces(c.text, piece, room));
            }
        }
    }
}

} // namespace
