// A fresh temporary folder per test, removed with everything in it at the end.
#pragma once

#include <string>

namespace testsupport {

class TempDir {
public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::string& path() const { return path_; }
    // path() + "/" + name
    std::string file(const std::string& name) const;
    // Writes bytes to path() + "/" + name and returns the full path.
    std::string write(const std::string& name, const std::string& bytes) const;

private:
    std::string path_;
};

// Whole content of a file; empty when it cannot be read.
std::string ReadFileBytes(const std::string& path);

} // namespace testsupport
