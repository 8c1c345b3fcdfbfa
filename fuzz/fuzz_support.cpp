#include "fuzz/fuzz_support.hpp"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

namespace tevo::fuzz {

namespace {

struct FileCloser {
    void operator()(std::FILE* f) const { std::fclose(f); }
};

std::filesystem::path temporaryRoot() {
    const char* tmp = std::getenv("TMPDIR");
    return tmp != nullptr && *tmp != 0 ? std::filesystem::path(tmp) : std::filesystem::path("/tmp");
}

// Removed with everything in it when the process ends normally.
struct Folder {
    Folder() : path((temporaryRoot() / ("tevo-fuzz-" + std::to_string(getpid()))).string()) {
        std::filesystem::create_directories(path);
    }
    ~Folder() {
        std::error_code ignored;
        std::filesystem::remove_all(path, ignored);
    }
    std::string path;
};

} // namespace

const std::string& scratchFolder() {
    static const Folder folder;
    return folder.path;
}

ScratchFile::ScratchFile(const std::string& suffix) {
    static int serial = 0;
    path_ = scratchFolder() + "/input" + std::to_string(serial++) + suffix;
}

ScratchFile::~ScratchFile() {
    std::error_code ignored;
    std::filesystem::remove(path_, ignored);
}

bool ScratchFile::write(const uint8_t* data, std::size_t size) const {
    return writeFile(path_, data, size);
}

bool writeFile(const std::string& path, const uint8_t* data, std::size_t size) {
    std::unique_ptr<std::FILE, FileCloser> f(std::fopen(path.c_str(), "wb"));
    if (!f) return false;
    return size == 0 || std::fwrite(data, 1, size, f.get()) == size;
}

uint64_t hashOf(const uint8_t* data, std::size_t size) {
    uint64_t h = 0xCBF29CE484222325ull;
    for (std::size_t i = 0; i < size; ++i) h = (h ^ data[i]) * 0x100000001B3ull;
    return h;
}

} // namespace tevo::fuzz
