// Sample runtime library for the launcher. Each entry prints, to standard output, one line
// per value it received:
//     entry=<FN_RunExecutable|PD_HostAttachedTarget>
//     instance=<set|null>  previous=<set|null>  arguments=<UTF-8 text>
//     show=<n>  fifth=<n>  sixth=<n>  PATH=<value>
// and returns the integer in SAMPLE_RUNTIME_EXIT_CODE (0 when unset).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string Utf8(const char16_t* text) {
    std::string out;
    for (; text && *text; ++text) {
        uint32_t c = *text;
        if (c >= 0xD800 && c <= 0xDBFF && text[1] >= 0xDC00 && text[1] <= 0xDFFF) {
            c = 0x10000 + ((c - 0xD800) << 10) + (text[1] - 0xDC00);
            ++text;
        }
        if (c < 0x80) {
            out += char(c);
        } else if (c < 0x800) {
            out += char(0xC0 | (c >> 6));
            out += char(0x80 | (c & 0x3F));
        } else if (c < 0x10000) {
            out += char(0xE0 | (c >> 12));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        } else {
            out += char(0xF0 | (c >> 18));
            out += char(0x80 | ((c >> 12) & 0x3F));
            out += char(0x80 | ((c >> 6) & 0x3F));
            out += char(0x80 | (c & 0x3F));
        }
    }
    return out;
}

int Report(const char* entry, void* instance, void* previous, const char16_t* arguments, int show,
           int64_t fifth, int sixth) {
    const char* path = std::getenv("PATH");
    std::printf("entry=%s\ninstance=%s\nprevious=%s\narguments=%s\nshow=%d\nfifth=%lld\n"
                "sixth=%d\nPATH=%s\n",
                entry, instance ? "set" : "null", previous ? "set" : "null",
                Utf8(arguments).c_str(), show, static_cast<long long>(fifth), sixth,
                path ? path : "");
    std::fflush(stdout);
    const char* code = std::getenv("SAMPLE_RUNTIME_EXIT_CODE");
    return code ? std::atoi(code) : 0;
}

} // namespace

#ifndef SAMPLE_RUNTIME_WITHOUT_ENTRIES
extern "C" __attribute__((visibility("default"))) int
FN_RunExecutable(void* instance, void* previous, const char16_t* arguments, int show, int64_t fifth,
                 int sixth) {
    return Report("FN_RunExecutable", instance, previous, arguments, show, fifth, sixth);
}

extern "C" __attribute__((visibility("default"))) int
PD_HostAttachedTarget(void* instance, void* previous, const char16_t* arguments, int show,
                      int64_t fifth, int sixth) {
    return Report("PD_HostAttachedTarget", instance, previous, arguments, show, fifth, sixth);
}
#else
extern "C" __attribute__((visibility("default"))) int SampleRuntimeWithoutEntries() {
    return Report("none", nullptr, nullptr, u"", 0, 0, 0);
}
#endif
