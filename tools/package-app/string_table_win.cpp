// The string table of a PE copy, changed with the resource-update API. Strings live in blocks
// of 16 (block id / 16 + 1, position id % 16), each a 16-bit length and that many UTF-16
// units. The block that holds the string keeps its other strings and each language it has;
// a copy without that block gets it as a language-neutral resource, which LoadStringW finds
// whatever the user's language.
#include "package_app.h"

#include <windows.h>

#include <array>
#include <iostream>

namespace package_app {

namespace {

using Block = std::array<std::u16string, 16>;

struct ExistingBlock {
    WORD language;
    Block strings;
};

// Reads one block from its resource bytes; entries beyond the end stay empty.
Block ParseBlock(const unsigned char* data, DWORD size) {
    Block block;
    DWORD at = 0;
    for (auto& entry : block) {
        if (at + 2 > size)
            break;
        const DWORD length = data[at] | (data[at + 1] << 8);
        at += 2;
        if (at + 2 * length > size)
            break;
        for (DWORD i = 0; i < length; ++i, at += 2)
            entry += static_cast<char16_t>(data[at] | (data[at + 1] << 8));
    }
    return block;
}

std::string SerializeBlock(const Block& block) {
    std::string bytes;
    for (const auto& entry : block) {
        const size_t length = entry.size();
        bytes += static_cast<char>(length & 0xFF);
        bytes += static_cast<char>(length >> 8);
        for (const char16_t c : entry) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
    }
    return bytes;
}

BOOL CALLBACK CollectLanguage(HMODULE, LPCWSTR, LPCWSTR, WORD language, LONG_PTR found) {
    reinterpret_cast<std::vector<WORD>*>(found)->push_back(language);
    return TRUE;
}

// The block as it is in the copy, once per language; none when the copy has no such block.
std::vector<ExistingBlock> ReadBlocks(const std::wstring& file, WORD blockId) {
    std::vector<ExistingBlock> blocks;
    const HMODULE module = LoadLibraryExW(
        file.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE | LOAD_LIBRARY_AS_IMAGE_RESOURCE);
    if (!module)
        return blocks;
    std::vector<WORD> languages;
    EnumResourceLanguagesW(module, RT_STRING, MAKEINTRESOURCEW(blockId), CollectLanguage,
                           reinterpret_cast<LONG_PTR>(&languages));
    for (const WORD language : languages) {
        const HRSRC resource =
            FindResourceExW(module, RT_STRING, MAKEINTRESOURCEW(blockId), language);
        const HGLOBAL loaded = resource ? LoadResource(module, resource) : nullptr;
        const void* data = loaded ? LockResource(loaded) : nullptr;
        if (data)
            blocks.push_back({language, ParseBlock(static_cast<const unsigned char*>(data),
                                                   SizeofResource(module, resource))});
    }
    FreeLibrary(module);
    return blocks;
}

bool Fail(const std::string& copy, const char* step) {
    std::cerr << "package-app: cannot update the resources of " << copy << " (" << step
              << ", error " << GetLastError() << ")\n";
    return false;
}

} // namespace

bool SetStringTableEntry(const std::string& copy, uint32_t id, const std::u16string& text) {
    // An entry's length is a 16-bit count.
    if (text.size() > 0xFFFF) {
        std::cerr << "package-app: a string resource holds at most 65535 UTF-16 units\n";
        return false;
    }
    const std::wstring file = FilePath(copy).wstring();
    const WORD blockId = static_cast<WORD>(id / 16 + 1);
    std::vector<ExistingBlock> blocks = ReadBlocks(file, blockId);
    if (blocks.empty()) {
        if (text.empty())
            return true; // nothing to add, nothing to remove
        blocks.push_back({MAKELANGID(LANG_NEUTRAL, SUBLANG_NEUTRAL), Block()});
    }

    const HANDLE update = BeginUpdateResourceW(file.c_str(), FALSE);
    if (!update)
        return Fail(copy, "BeginUpdateResourceW");
    for (auto& block : blocks) {
        block.strings[id % 16] = text;
        bool empty = true;
        for (const auto& entry : block.strings)
            empty = empty && entry.empty();
        // A block without any string is removed rather than written empty.
        std::string bytes = empty ? std::string() : SerializeBlock(block.strings);
        if (!UpdateResourceW(update, RT_STRING, MAKEINTRESOURCEW(blockId), block.language,
                             empty ? nullptr : bytes.data(), static_cast<DWORD>(bytes.size()))) {
            const bool failed = Fail(copy, "UpdateResourceW");
            EndUpdateResourceW(update, TRUE);
            return failed;
        }
    }
    if (!EndUpdateResourceW(update, FALSE))
        return Fail(copy, "EndUpdateResourceW");
    return true;
}

} // namespace package_app
