// Reading the inherited PATH and composing PATH values within their 8192 units.
#include "runtime_location/path_variable.h"

#include "platform/path_rules.h"
#include "platform/platform_names.h"
#include "runtime_location/bounded_text.h"
#include "runtime_location/buffer_sizes.h"
#include "runtime_location/registry.h"
#include "trace.h"

#include <vector>

namespace launcher {

namespace {

// Composes the entries followed by the inherited PATH; false when they do not fit.
bool ComposePath(const WideString& entries, const WideString& inherited,
                 std::vector<WCHAR>& composed) {
    BoundedText path(composed.data(), composed.size());
    path << entries.c_str() << InheritedPathSuffix(inherited).c_str();
    return path.fits();
}

} // namespace

InheritedPath PrepareInheritedPath() {
    InheritedPath inherited;
    std::vector<WCHAR> value(kPathValueUnits, 0);
    if (GetEnvironmentVariableW(kPathVariable, value.data(), kPathValueUnits) >= kPathValueUnits) {
        inherited.usable = false;
        Trace(TEXT("PATH left unchanged"), TEXT("inherited PATH longer than 8191 characters"));
        return inherited;
    }
    inherited.text = value.data();

    WCHAR folder[MAX_PATH] = {};
    WCHAR name[MAX_PATH] = {};
    ReadRegistryString(kDevelopmentKey, TEXT("Location"), folder, kRegistryStringBytes);
    ReadRegistryString(kDevelopmentKey, TEXT("IPS Name"), name, kRegistryStringBytes);
    if (!*folder || !*name)
        return inherited;
    const WideString entry = WideString(folder) + kPathSeparator + name + kPathSeparator +
                             TEXT("IDE") + kPathSeparator + kArchitectureFolder;
    if (ComposePath(entry, inherited.text, value))
        inherited.text = value.data();
    else
        Trace(TEXT("development environment passed over (PATH would exceed 8191 characters)"),
              folder);
    return inherited;
}

bool WritePath(LPCWSTR variable, const WideString& runtimeEntries, const InheritedPath& inherited) {
    std::vector<WCHAR> composed(kPathValueUnits, 0);
    if (!inherited.usable || !ComposePath(runtimeEntries, inherited.text, composed))
        return false;
    SetEnvironmentVariableW(variable, composed.data());
    return true;
}

} // namespace launcher
