// CrLfWriter: line ends rewritten to CR LF across the pieces a text is copied in; the scans
// for the start of a text whose line ends are CR LF already.
#include "text/line_ends.h"

#include <gtest/gtest.h>

#include <random>
#include <string>

namespace {

using SMTPClientNS::CrLfWriter;
using SMTPClientNS::EndOfCrLfText;
using SMTPClientNS::MeasureCrLfText;

// The length of the start of [text, text + size) whose line ends are all whole CR LF pairs.
size_t ReferenceCrLfUnits(const char16_t* text, size_t size) {
    for (size_t i = 0; i < size; ++i) {
        if (text[i] == u'\r' && i + 1 < size && text[i + 1] == u'\n')
            ++i;
        else if (text[i] == u'\r' || text[i] == u'\n')
            return i;
    }
    return size;
}

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

TEST(CrLfText, ScansAgreeWithTheUnitByUnitAnswer) {
    // Long runs of CR LF lines with one lone CR or LF, or a terminator, placed anywhere: the
    // wide steps, the head before the first aligned block and the pairs across steps.
    std::mt19937 random(11);
    const char16_t line[] = u"ab\r\ncdefghijklmnopq\r\n\r\nxyz\u010D\u0A0D\r\n";
    for (int n = 0; n < 2000; ++n) {
        // Lines from a varying offset, so that pairs also straddle the first aligned block.
        std::u16string text(random() % 24, u'-');
        const size_t size = 1 + random() % 300;
        while (text.size() < 8 + size)
            text += line;
        text.resize(8 + size);
        const size_t start = random() % 8;
        const size_t at = start + random() % (size + 8 - start);
        switch (random() % 4) {
        case 0:
            text[at] = u'\r';
            break;
        case 1:
            text[at] = u'\n';
            break;
        case 2:
            text[at] = u'\0';
            break;
        default:
            break;
        }
        text.push_back(u'\0');
        const char16_t* begin = text.data() + start;
        const size_t length = std::char_traits<char16_t>::length(begin);
        const size_t expected = ReferenceCrLfUnits(begin, length);
        SCOPED_TRACE(testing::Message() << "case " << n << " start " << start << " at " << at);
        EXPECT_EQ(begin + expected, EndOfCrLfText(begin, begin + length));
        size_t crLfUnits = 0;
        EXPECT_EQ(length, MeasureCrLfText(begin, 100000, &crLfUnits));
        EXPECT_EQ(expected, crLfUnits);
        // A bound below the length counts as the end of the text.
        const size_t bound = length / 2;
        EXPECT_EQ(bound, MeasureCrLfText(begin, bound, &crLfUnits));
        EXPECT_EQ(ReferenceCrLfUnits(begin, bound), crLfUnits);
    }
}

} // namespace
