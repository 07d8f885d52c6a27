// The packaging trailer reader: any bytes as the launcher's file (PE headers, certificate
// table, trailer).
#include "trailer/trailer_reader.h"

#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const std::string path = "/tmp/larkmail-trailer-fuzz-" + std::to_string(getpid());
    static const std::u16string widePath(path.begin(), path.end());
    FILE* file = std::fopen(path.c_str(), "wb");
    if (!file)
        return 0;
    std::fwrite(data, 1, size, file);
    std::fclose(file);
    launcher::FileHasLauncherTrailer(reinterpret_cast<LPCWSTR>(widePath.c_str()));
    std::remove(path.c_str());
    return 0;
}
