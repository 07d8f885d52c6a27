#include "transfer/host_name.h"

#include <algorithm>

namespace SMTPClientNS {

namespace {

bool IsLabelCharacter(unsigned char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '-' ||
           c == '_' || c >= 0x80;
}

bool IsBracketedIpv6(const std::string& host) {
    if (host.size() < 4 || host.front() != '[' || host.back() != ']')
        return false;
    const std::string inner = host.substr(1, host.size() - 2);
    const bool allowed = std::all_of(inner.begin(), inner.end(), [](char c) {
        return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F') ||
               c == ':' || c == '.';
    });
    return allowed && std::count(inner.begin(), inner.end(), ':') >= 2;
}

bool IsHostName(const std::string& host) {
    std::string name = host;
    if (!name.empty() && name.back() == '.')
        name.pop_back();
    if (name.empty())
        return false;
    size_t labelLength = 0;
    for (const char c : name) {
        if (c == '.') {
            if (labelLength == 0)
                return false;
            labelLength = 0;
        } else if (IsLabelCharacter(static_cast<unsigned char>(c))) {
            ++labelLength;
        } else {
            return false;
        }
    }
    return labelLength > 0;
}

} // namespace

bool IsPlainHost(const std::string& host) {
    return IsBracketedIpv6(host) || IsHostName(host);
}

} // namespace SMTPClientNS
