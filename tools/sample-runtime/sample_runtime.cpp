// Sample runtime library for the launcher. Each entry prints, to standard output, one line
// per value it received:
//     entry=<FN_RunExecutable|PD_HostAttachedTarget>
//     instance=<set|null>  process_module=<yes|no>  previous=<set|null>
//     arguments=<UTF-8 text>
//     show=<n>  fifth=<n>  sixth=<n>  PATH=<value>
// and returns the integer in SAMPLE_RUNTIME_EXIT_CODE (0 when unset). process_module tells
// whether the instance is the process's own module handle, which the platform layer defines
// as the dynamic loader's handle of the program (dlopen of a null name).
#include "host_text.h"

#include <dlfcn.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

int Report(const char* entry, void* instance, void* previous, const char16_t* arguments, int show,
           int64_t fifth, int sixth) {
    const char* path = std::getenv("PATH");
    const std::string text = arguments ? larkhost::Utf8(arguments) : std::string();
    void* program = dlopen(nullptr, RTLD_LAZY);
    const bool processModule = instance && instance == program;
    if (program)
        dlclose(program);
    std::printf("entry=%s\ninstance=%s\nprocess_module=%s\nprevious=%s\narguments=%s\nshow=%d\n"
                "fifth=%lld\nsixth=%d\nPATH=%s\n",
                entry, instance ? "set" : "null", processModule ? "yes" : "no",
                previous ? "set" : "null", text.c_str(), show, static_cast<long long>(fifth), sixth,
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
