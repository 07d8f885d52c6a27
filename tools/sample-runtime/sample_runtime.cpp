// Sample runtime library for the launcher. Each entry prints, to standard output, one line
// per value it received:
//     entry=<FN_RunExecutable|PD_HostAttachedTarget>
//     instance=<set|null>  previous=<set|null>  arguments=<UTF-8 text>
//     show=<n>  fifth=<n>  sixth=<n>  PATH=<value>
// and returns the integer in SAMPLE_RUNTIME_EXIT_CODE (0 when unset).
#include "host_text.h"

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Report(const char* entry, void* instance, void* previous, const char16_t* arguments, int show,
           int64_t fifth, int sixth) {
    const char* path = std::getenv("PATH");
    const std::string text = arguments ? larkhost::Utf8(arguments) : std::string();
    std::printf("entry=%s\ninstance=%s\nprevious=%s\narguments=%s\nshow=%d\nfifth=%lld\n"
                "sixth=%d\nPATH=%s\n",
                entry, instance ? "set" : "null", previous ? "set" : "null", text.c_str(), show,
                static_cast<long long>(fifth), sixth, path ? path : "");
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
