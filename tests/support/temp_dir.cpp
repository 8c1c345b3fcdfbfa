#include "support/temp_dir.hpp"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>

namespace tevo::test {

namespace fs = std::filesystem;

TempDir::TempDir() {
    // mkdtemp: a name no other test, run or user holds, made private at once.
    std::string pattern = (fs::temp_directory_path() / "tevo-test-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("no temporary folder");
    path_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
}

std::string TempDir::write(const std::string& name, std::string_view bytes) const {
    const std::string path = file(name);
    writeFile(path, bytes);
    return path;
}

void TempDir::makeFolder(const std::string& relative) const {
    fs::create_directories(file(relative));
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

void writeFile(const std::string& path, std::string_view bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

} // namespace tevo::test
