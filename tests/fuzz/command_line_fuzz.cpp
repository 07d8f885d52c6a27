// The launcher's command-line splitter: any UTF-16 text as the process command line.
#include "main_flow/main_flow.h"

#include <cstdint>
#include <cstring>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::u16string line(size / 2, u'\0');
    std::memcpy(line.data(), data, line.size() * 2);
    line.resize(std::char_traits<char16_t>::length(line.c_str()));
    const auto* text = reinterpret_cast<LPCWSTR>(line.c_str());
    const LPCWSTR arguments = launcher::ArgumentText(text);
    // The argument text is the empty string or a suffix of the line, never outside it.
    const bool inside = arguments >= text && arguments <= text + line.size();
    if (!inside && *arguments != 0)
        __builtin_trap();
    return 0;
}
