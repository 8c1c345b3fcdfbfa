// What the fuzz targets share. The readers take file names, so each input is
// written to a scratch file of the fuzzing process first (one per process:
// parallel jobs do not collide).
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

namespace tevo::fuzz {

class ScratchFile {
public:
    // `suffix` chooses the reader where the extension matters (".osm").
    explicit ScratchFile(const std::string& suffix);
    ~ScratchFile();
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;

    // Replaces the file's contents with the bytes; false when it cannot.
    bool write(const uint8_t* data, std::size_t size) const;
    const std::string& path() const { return path_; }

private:
    std::string path_;
};

// Writes the bytes to a file of that name; false when it cannot.
bool writeFile(const std::string& path, const uint8_t* data, std::size_t size);

// A folder of the process under the temporary folder, for readers that want
// several files side by side; created on first use.
const std::string& scratchFolder();

// FNV-1a of the bytes: a seed that follows from the input, so a finding
// replays.
uint64_t hashOf(const uint8_t* data, std::size_t size);

// Keeps a computed value alive so that the reads producing it are not
// optimised away.
template <typename T> inline void keep(const T& value) {
    asm volatile("" : : "r"(&value) : "memory");
}

} // namespace tevo::fuzz
