// Loads an HTML body with many image elements through LoadBodyFromFile with image embedding
// and prints the time: the rewrite and the registration of the images take linear time.
// Usage: larkmail-bench-html-embed FOLDER [ELEMENTS, default 160000]
#include "host_library.h"

#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

using namespace SMTPClientNS;

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: larkmail-bench-html-embed FOLDER [ELEMENTS]\n");
        return 2;
    }
    const long elements = argc > 2 ? std::atol(argv[2]) : 160000;
    const std::string file = std::string(argv[1]) + "/images.html";
    {
        // Tags with a quoted path to an existing image, then tags without any quote.
        std::ofstream out(file, std::ios::binary);
        out << "<html><body>";
        for (long i = 0; i < elements; ++i)
            out << (i < elements / 2 ? "<img src=\"x.png\">" : "<img>");
        out << "</body></html>";
        std::ofstream(std::string(argv[1]) + "/x.png") << "PNG";
    }
    const larkhost::LarkmailLibrary library(larkhost::LibraryBesideProgram());
    if (!library.ok()) {
        std::fprintf(stderr, "%s\n", library.error().c_str());
        return 1;
    }
    IMimeMessage* message = library.createMimeMessage();
    // Relative image paths are found from the current folder.
    if (chdir(argv[1]) != 0)
        return 1;
    std::u16string path(file.begin(), file.end());
    const auto start = std::chrono::steady_clock::now();
    message->LoadBodyFromFile(path.c_str(), BODY_HTML_EMBED_IMAGES_UTF8);
    const double seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("%ld image elements embedded in %.2f s (%d inline images)\n", elements, seconds,
                message->GetInlineImageCount());
    message->Release();
    return 0;
}
