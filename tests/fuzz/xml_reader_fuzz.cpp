// The launcher's XML reader: any bytes as the UTF-8 configuration file.
#include "xml/xml_reader.h"

#include <cstdint>
#include <string>

namespace {

int Depth(const launcher::XmlNode& node) {
    int deepest = 0;
    for (const launcher::XmlNode& child : node.children) {
        const int depth = Depth(child);
        deepest = depth > deepest ? depth : deepest;
    }
    return deepest + 1;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size == 0)
        return 0;
    const auto* bytes = reinterpret_cast<const char*>(data);
    const int units = MultiByteToWideChar(CP_UTF8, 0, bytes, int(size), nullptr, 0);
    launcher::WideString text(size_t(units > 0 ? units : 0), WCHAR(0));
    if (units > 0)
        MultiByteToWideChar(CP_UTF8, 0, bytes, int(size), text.data(), units);
    launcher::XmlReader reader;
    reader.LoadText(text);
    launcher::XmlNode root;
    if (reader.ParseRoot(root) && Depth(root) > launcher::kMaxXmlDepth + 1)
        __builtin_trap(); // the nesting bound keeps the stack safe
    return 0;
}
