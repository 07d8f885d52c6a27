// The configuration file beside the launcher and the RuntimePath it names.
#include "xml/configuration_file.h"

#include "platform/platform_names.h"
#include "trace.h"
#include "xml/xml_reader.h"

namespace launcher {

bool ConfigurationFileName(LPCWSTR launcherFileName, WCHAR* out, size_t outSize) {
    WideString name = launcherFileName ? launcherFileName : TEXT("");
    if (name.empty())
        return false;
    const size_t lastSeparator = name.rfind(kPathSeparator);
    const size_t dot = name.rfind(TEXT('.'));
    if (dot != WideString::npos && (lastSeparator == WideString::npos || dot > lastSeparator))
        name.resize(dot);
    name += TEXT(".xml");
    if (name.size() + 1 > outSize)
        return false;
    name.copy(out, name.size());
    out[name.size()] = 0;
    return true;
}

bool ReadConfiguredRuntimePathFrom(LPCWSTR configurationFile, WCHAR* runtimePath) {
    XmlReader reader;
    if (!reader.LoadFile(configurationFile)) {
        Trace(TEXT("XML file passed over (missing, empty or unreadable)"), configurationFile);
        return false;
    }
    XmlNode root;
    if (!reader.ParseRoot(root)) {
        Trace(TEXT("XML file passed over (not in the accepted XML subset)"), configurationFile);
        return false;
    }
    if (root.name != TEXT("Application")) {
        Trace(TEXT("XML file passed over (root element is not Application)"), configurationFile);
        return false;
    }
    bool found = false;
    const WideString* chosen = nullptr;
    for (const XmlNode& child : root.children) {
        if (child.name != TEXT("RuntimePath"))
            continue;
        found = true;
        if (!child.text.empty())
            chosen = &child.text; // the last non-empty text wins
    }
    if (!found) {
        Trace(TEXT("XML file passed over (no RuntimePath element)"), configurationFile);
        return false;
    }
    if (chosen && chosen->size() < MAX_PATH) {
        chosen->copy(runtimePath, chosen->size());
        runtimePath[chosen->size()] = 0;
    } else if (chosen) {
        runtimePath[0] = 0;
        Trace(TEXT("XML RuntimePath refused (longer than 259 characters)"), configurationFile);
    }
    return true;
}

bool ReadConfiguredRuntimePath(WCHAR* runtimePath) {
    WCHAR launcherFile[MAX_PATH] = {};
    const DWORD length = GetModuleFileNameW(nullptr, launcherFile, MAX_PATH);
    WCHAR configurationFile[MAX_PATH] = {};
    if (length == 0 || length >= MAX_PATH ||
        !ConfigurationFileName(launcherFile, configurationFile, MAX_PATH))
        return false;
    return ReadConfiguredRuntimePathFrom(configurationFile, runtimePath);
}

} // namespace launcher
