// Scratch space of a run: files without a name, so that nothing is left
// behind however the run ends (a killed run's files vanish with it), and
// spools of bytes that stay in memory up to a limit and move to such a file
// beyond it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <vector>

namespace tevo::tvmc {

// The folder of the scratch files and the first failure of any of them.
// A failure (a full disk) is sticky: later writes are skipped, and the run
// asks failed() at the end of each stage. The stores of several threads
// share it.
class ScratchSpace {
public:
    explicit ScratchSpace(std::string folder) : folder_(std::move(folder)) {}

    // A new file open for reading and writing, or -1 (the failure recorded).
    int open();
    void fail(const std::string& what); // records errno's text with `what`
    bool failed() const;
    std::string problem() const;
    const std::string& folder() const { return folder_; }

private:
    std::string folder_;
    mutable std::mutex mutex_;
    std::string problem_;
};

// Bytes appended in order, read back after the last append. In memory they
// sit in one anonymous mapping that grows without copying; past the memory
// limit they move to a scratch file, read back through a read-only map.
class ByteSpool {
public:
    ByteSpool(ScratchSpace& scratch, uint64_t memoryLimit);
    ~ByteSpool();
    ByteSpool(const ByteSpool&) = delete;
    ByteSpool& operator=(const ByteSpool&) = delete;

    void append(const void* data, std::size_t n);
    uint64_t size() const { return size_; }
    bool onDisk() const { return fd_ >= 0; }

    // Ends the appends. The bytes readable in place, or null when there are
    // none or the scratch file failed.
    const uint8_t* view();
    // Copies bytes out, before or after view() (appends must be over).
    bool read(uint64_t offset, void* out, std::size_t n);
    // Lets the pages of a file view go from the process; they stay in the
    // system's cache and come back on the next access.
    void dropResidentPages();
    // Writes [offset, offset + n) to the file descriptor `out` at its position.
    bool copyTo(int out, uint64_t offset, uint64_t n);

    void clear(); // gives back the memory and the file

private:
    void spill();
    void flushBuffer();

    ScratchSpace& scratch_;
    uint64_t memoryLimit_;
    uint64_t size_ = 0;
    uint8_t* memory_ = nullptr; // anonymous mapping while in memory
    std::size_t capacity_ = 0;
    int fd_ = -1;
    std::vector<uint8_t> buffer_; // appends waiting for the file
    const uint8_t* mapped_ = nullptr;
};

} // namespace tevo::tvmc
