// PATH preparation: the inherited PATH, read once at start with the development
// environment's entry put in front, and PATH written as runtime entries in front of it.
#pragma once

#include "wide_string.h"

namespace launcher {

struct InheritedPath {
    WideString text;
    // False when the PATH at start did not fit its 8192 units: it is not cut, and no PATH
    // is written.
    bool usable = true;
};

// Reads PATH; when the development environment is registered, its entry
// "<Location>/<IPS Name>/IDE/x64" goes in front. Nothing is written yet.
InheritedPath PrepareInheritedPath();

// Writes runtimeEntries followed by the inherited PATH to the variable. False, writing
// nothing, when the inherited PATH is unusable or the value would exceed 8191 characters.
bool WritePath(LPCWSTR variable, const WideString& runtimeEntries, const InheritedPath& inherited);

} // namespace launcher
