// The string table section of an ELF file: finding the section, reading its entries.
#include "string_table.h"

#include <elf.h>

#include <cstring>

namespace win32compat {

namespace {

template <typename T> bool ReadAt(std::istream& in, uint64_t offset, T& out) {
    in.seekg(static_cast<std::streamoff>(offset));
    return static_cast<bool>(in.read(reinterpret_cast<char*>(&out), sizeof out));
}

} // namespace

std::vector<char> ReadElfSection(std::istream& in, const char* sectionName) {
    Elf64_Ehdr header{};
    if (!in || !ReadAt(in, 0, header) || std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 ||
        header.e_ident[EI_CLASS] != ELFCLASS64 || header.e_ident[EI_DATA] != ELFDATA2LSB ||
        header.e_shentsize != sizeof(Elf64_Shdr) || header.e_shstrndx >= header.e_shnum)
        return {};
    in.seekg(0, std::ios::end);
    const uint64_t fileSize = static_cast<uint64_t>(in.tellg());
    auto sectionHeader = [&](uint64_t index, Elf64_Shdr& out) {
        return ReadAt(in, header.e_shoff + index * sizeof(Elf64_Shdr), out) &&
               out.sh_offset <= fileSize && out.sh_size <= fileSize - out.sh_offset;
    };
    Elf64_Shdr names{};
    if (!sectionHeader(header.e_shstrndx, names))
        return {};
    std::vector<char> nameTable(names.sh_size);
    in.seekg(static_cast<std::streamoff>(names.sh_offset));
    if (!in.read(nameTable.data(), static_cast<std::streamsize>(nameTable.size())))
        return {};
    const size_t wantedLength = std::strlen(sectionName) + 1;
    for (uint64_t i = 0; i < header.e_shnum; ++i) {
        Elf64_Shdr section{};
        if (!sectionHeader(i, section) || section.sh_type == SHT_NOBITS)
            continue;
        if (section.sh_name > nameTable.size() ||
            nameTable.size() - section.sh_name < wantedLength ||
            std::memcmp(nameTable.data() + section.sh_name, sectionName, wantedLength) != 0)
            continue;
        std::vector<char> bytes(section.sh_size);
        in.seekg(static_cast<std::streamoff>(section.sh_offset));
        if (!in.read(bytes.data(), static_cast<std::streamsize>(bytes.size())))
            return {};
        return bytes;
    }
    return {};
}

namespace {

uint32_t ReadLe32(const char* p) {
    const auto* b = reinterpret_cast<const unsigned char*>(p);
    return b[0] | (b[1] << 8) | (b[2] << 16) | (static_cast<uint32_t>(b[3]) << 24);
}

} // namespace

std::u16string FindTableString(const std::vector<char>& table, UINT id) {
    std::u16string found;
    size_t pos = 0;
    while (table.size() - pos >= 8) {
        const uint32_t entryId = ReadLe32(table.data() + pos);
        const uint64_t length = ReadLe32(table.data() + pos + 4);
        pos += 8;
        if (length * 2 > table.size() - pos)
            break;
        if (entryId == id) {
            found.clear();
            for (uint64_t i = 0; i < length; ++i) {
                const auto* b = reinterpret_cast<const unsigned char*>(table.data() + pos + i * 2);
                found += static_cast<char16_t>(b[0] | (b[1] << 8));
            }
        }
        pos += length * 2;
    }
    return found;
}

} // namespace win32compat
