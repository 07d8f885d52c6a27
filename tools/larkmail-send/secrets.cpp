#include "secrets.h"

#include "input_files.h"
#include "tool_platform.h"

#include <cstdio>
#include <utility>

namespace {

struct SecretSource {
    std::optional<std::string>& value;
    const std::optional<std::string>& file;
    const char* variable;
    const char* option;
    const char* fileOption;
};

} // namespace

bool ResolveSecrets(SendOptions& o, std::vector<std::string>& warnings, std::string& error) {
    SecretSource sources[] = {
        {o.password, o.passwordFile, "LARKMAIL_PASSWORD", "--password", "--password-file"},
        {o.token, o.tokenFile, "LARKMAIL_BEARER_TOKEN", "--token", "--token-file"},
    };
    for (SecretSource& source : sources) {
        if (source.value) {
            warnings.push_back(std::string(source.option) +
                               " on the command line is visible to other users; use " +
                               source.fileOption + " or " + source.variable + " instead");
        } else if (source.file) {
            if (!ReadFirstLine(*source.file, source.value.emplace(), error))
                return false;
        } else if (std::optional<std::string> value = EnvironmentValue(source.variable)) {
            source.value = std::move(value);
        }
    }
    return true;
}

bool NeedsPassword(const SendOptions& o) {
    return o.user && !o.user->empty() && !o.password && !o.token;
}

std::string MaskedSecret(const std::string& secret) {
    return secret.empty() ? "" : "****";
}
