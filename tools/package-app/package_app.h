// package-app's parts: the platform-independent packaging steps (package_app.cpp) and what
// each platform does its own way (entry_*.cpp: the program entry and file names;
// string_table_*.cpp: the copy's string table).
#pragma once

#include <cstdint>
#include <filesystem>
#include <string>
#include <vector>

namespace package_app {

// Runs the tool on its arguments (UTF-8, program name excluded); returns the exit code.
int PackageApp(const std::vector<std::string>& args);

// A file name given as UTF-8 text, as the platform's file functions take it.
std::filesystem::path FilePath(const std::string& utf8);

// Copies the launcher to the output, replacing a file already there. False, with the
// system's reason in `failure`, when it cannot.
bool CopyLauncher(const std::string& launcher, const std::string& output, std::string& failure);

// Sets string `id` of the copy's string table to `text`, replacing any it had. False, with a
// message on standard error, when the copy cannot be changed.
bool SetStringTableEntry(const std::string& copy, uint32_t id, const std::u16string& text);

} // namespace package_app
