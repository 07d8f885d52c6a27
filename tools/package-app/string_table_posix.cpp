// The string table of an ELF copy: the ".win32strings" section, a sequence of entries (id as
// u32 little-endian, length in UTF-16 units as u32 LE, the UTF-16LE units), replaced with
// objcopy.
#include "package_app.h"

#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <iostream>

namespace package_app {

namespace {

constexpr const char* kSection = ".win32strings";

void PutLe32(std::string& bytes, uint32_t v) {
    for (int i = 0; i < 4; ++i)
        bytes += static_cast<char>((v >> (8 * i)) & 0xFF);
}

int Run(const std::vector<std::string>& args) {
    const pid_t pid = fork();
    if (pid == 0) {
        std::vector<char*> argv;
        for (const auto& a : args)
            argv.push_back(const_cast<char*>(a.c_str()));
        argv.push_back(nullptr);
        execvp(argv[0], argv.data());
        _exit(127);
    }
    int status = 0;
    if (pid < 0 || waitpid(pid, &status, 0) < 0)
        return -1;
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

} // namespace

bool SetStringTableEntry(const std::string& copy, uint32_t id, const std::u16string& text) {
    std::string table;
    PutLe32(table, id);
    PutLe32(table, static_cast<uint32_t>(text.size()));
    for (const char16_t c : text) {
        table += static_cast<char>(c & 0xFF);
        table += static_cast<char>(c >> 8);
    }
    const std::string tableFile = copy + ".strings.tmp";
    {
        std::ofstream out(tableFile, std::ios::binary | std::ios::trunc);
        out << table;
        out.close();
        if (!out) {
            std::cerr << "package-app: cannot write " << tableFile << "\n";
            return false;
        }
    }
    const std::string section = std::string(kSection);
    // Replaces any table the copy already has.
    const bool ok = Run({"objcopy", "--remove-section=" + section, copy}) == 0 &&
                    Run({"objcopy", "--add-section", section + "=" + tableFile, copy}) == 0;
    std::filesystem::remove(tableFile);
    return ok;
}

} // namespace package_app
