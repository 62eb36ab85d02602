// A fresh directory for a test's files, removed with everything in it; whole files written and read.
#pragma once
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <stdlib.h>

namespace testing_support {

class TempDir {
public:
    TempDir() : path_(mkdtemp((std::filesystem::temp_directory_path() / "orbits-test-XXXXXX").string().data())) {}
    ~TempDir() { std::error_code ignored; std::filesystem::remove_all(path_, ignored); }
    TempDir(const TempDir&) = delete;
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
};

inline void writeFile(const std::string& path, const std::string& text) { std::ofstream(path, std::ios::binary) << text; }

inline std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

}  // namespace testing_support
