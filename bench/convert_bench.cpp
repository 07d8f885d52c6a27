// The converter against raw iconv over the same text: a body of SIZE bytes of UTF-16 (mostly
// ASCII with some accented letters, lines ending in CR LF or in LF) into UTF-8. The converter
// also makes every line end CR LF, as a body needs; raw iconv converts the text as it is. The
// two run in turns, ROUNDS times each; prints "converter S iconv S" per round, in seconds of
// CPU time.
// Usage: larkmail-bench-convert SIZE ROUNDS crlf|lf
#include "text/charset_converter.h"

#include <iconv.h>
#include <time.h>

#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>

using SMTPClientNS::CCharsetConverter;

namespace {

// CPU time of this thread (user and system): on a shared machine it leaves out the time the
// thread waits for a core, which wall time would add to whichever side it happens in.
double ThreadSeconds() {
    timespec t;
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &t);
    return double(t.tv_sec) + double(t.tv_nsec) / 1e9;
}

std::u16string BodyText(size_t bytes, const std::u16string& lineEnd) {
    const std::u16string line =
        u"Gr\u00FC\u00DFe aus der Benchmark, a line of ordinary text." + lineEnd;
    std::u16string text;
    text.reserve(bytes / 2 + line.size());
    while (text.size() * 2 < bytes)
        text += line;
    return text;
}

// What a program without the library does: one iconv call into a buffer of the largest size.
size_t RawIconv(const std::u16string& text) {
    iconv_t descriptor = iconv_open("UTF-8", "UTF-16LE");
    size_t inLeft = text.size() * 2;
    std::unique_ptr<char[]> out(new char[inLeft * 2 + 16]);
    char* in = reinterpret_cast<char*>(const_cast<char16_t*>(text.data()));
    char* cursor = out.get();
    size_t outLeft = inLeft * 2 + 16;
    iconv(descriptor, &in, &inLeft, &cursor, &outLeft);
    iconv(descriptor, nullptr, nullptr, &cursor, &outLeft);
    iconv_close(descriptor);
    return size_t(cursor - out.get());
}

size_t Converter(const std::u16string& text) {
    char* out = nullptr;
    size_t length = 0;
    if (CCharsetConverter::Instance().ConvertFromWide("UTF-8", text.c_str(), &out, &length,
                                                      CCharsetConverter::LineEnds::CrLf) != 0)
        std::abort();
    delete[] out;
    return length;
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: larkmail-bench-convert SIZE ROUNDS crlf|lf\n");
        return 2;
    }
    const std::u16string text = BodyText(std::strtoull(argv[1], nullptr, 10),
                                         std::string(argv[3]) == "lf" ? u"\n" : u"\r\n");
    const int rounds = std::atoi(argv[2]);
    // One of each first, so that both run with warm caches and pages.
    Converter(text);
    RawIconv(text);
    for (int i = 0; i < rounds; ++i) {
        double start = ThreadSeconds();
        Converter(text);
        const double converter = ThreadSeconds() - start;
        start = ThreadSeconds();
        RawIconv(text);
        std::printf("converter %.6f iconv %.6f\n", converter, ThreadSeconds() - start);
    }
    return 0;
}
