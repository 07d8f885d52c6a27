// larkmail-send on POSIX: arguments and the environment are the system's bytes, taken as they
// are; libcurl is the system's, linked into the tool too.
#include "tool_platform.h"

#include <curl/curl.h>

#include <cstdlib>

std::string LibcurlVersion() {
    return curl_version();
}

std::optional<std::string> EnvironmentValue(const char* name) {
    const char* value = std::getenv(name);
    if (!value || !*value)
        return std::nullopt;
    return std::string(value);
}

void SetEnvironmentValue(const char* name, const std::string& value) {
    setenv(name, value.c_str(), 1);
}

int main(int argc, char** argv) {
    return RunLarkmailSend(argc, argv);
}
