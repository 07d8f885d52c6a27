// Reading the files that options name: bodies (a file, or "-" for standard input), secret
// files and files the library reads itself. ReadInputFile and CheckReadableFile are in
// input_files_posix.cpp and input_files_win.cpp.
#pragma once

#include <string>

// The whole content of path, or of standard input for "-". Regular files and pipes only: a
// folder or a device is refused, since it has no content to send or never ends. On failure
// returns false with a message that names the file.
bool ReadInputFile(const std::string& path, std::string& content, std::string& error);

// The first line of the file (without CR LF or LF); a secret file holds nothing else.
bool ReadFirstLine(const std::string& path, std::string& line, std::string& error);

// Whether the library will be able to read path: a regular file that can be opened.
bool CheckReadableFile(const std::string& path, std::string& error);

// "cannot read PATH: WHY" (standard input for "-"), the failure text of both platforms.
std::string InputFailure(const std::string& path, const std::string& why);
