// The built library exports exactly its entry points and nothing else of its own.
#include <gtest/gtest.h>

#include <elf.h>

#include <cstring>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

namespace {

// Names of the symbols that the library's dynamic symbol table defines.
std::set<std::string> DefinedDynamicSymbols(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    const std::vector<char> image((std::istreambuf_iterator<char>(in)),
                                  std::istreambuf_iterator<char>());
    std::set<std::string> names;
    Elf64_Ehdr header;
    if (image.size() < sizeof header)
        return names;
    std::memcpy(&header, image.data(), sizeof header);
    if (std::memcmp(header.e_ident, ELFMAG, SELFMAG) != 0 || header.e_ident[EI_CLASS] != ELFCLASS64)
        return names;
    auto section = [&](size_t index) {
        Elf64_Shdr entry;
        std::memcpy(&entry, image.data() + header.e_shoff + index * header.e_shentsize,
                    sizeof entry);
        return entry;
    };
    for (size_t i = 0; i < header.e_shnum; ++i) {
        const Elf64_Shdr symbols = section(i);
        if (symbols.sh_type != SHT_DYNSYM)
            continue;
        const Elf64_Shdr strings = section(symbols.sh_link);
        for (size_t offset = symbols.sh_entsize; offset + sizeof(Elf64_Sym) <= symbols.sh_size;
             offset += symbols.sh_entsize) {
            Elf64_Sym symbol;
            std::memcpy(&symbol, image.data() + symbols.sh_offset + offset, sizeof symbol);
            if (symbol.st_shndx == SHN_UNDEF || ELF64_ST_BIND(symbol.st_info) == STB_LOCAL)
                continue;
            names.insert(image.data() + strings.sh_offset + symbol.st_name);
        }
    }
    return names;
}

TEST(Exports, OnlyTheEntryPointsAreExported) {
    std::set<std::string> names = DefinedDynamicSymbols(LARKMAIL_LIBRARY_PATH);
    ASSERT_FALSE(names.empty()) << "no dynamic symbols read from " << LARKMAIL_LIBRARY_PATH;
    EXPECT_EQ(1u, names.erase("CreateSmtpClient"));
    EXPECT_EQ(1u, names.erase("CreateMimeMessage"));
    // The linker's own markers are ignored.
    for (const char* allowed : {"_init", "_fini", "_edata", "_end", "__bss_start"})
        names.erase(allowed);
    std::string unexpected;
    for (const std::string& name : names)
        unexpected += " " + name;
    EXPECT_EQ("", unexpected);
}

} // namespace
