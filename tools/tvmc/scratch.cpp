#include "tools/tvmc/scratch.hpp"

#include "map/tvm_writer.hpp"
#include "tools/tvmc/release.hpp"

#include <algorithm>
#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace tevo::tvmc {

namespace {

constexpr std::size_t kFirstCapacity = std::size_t{1} << 20;
constexpr std::size_t kWriteBuffer = std::size_t{1} << 20;

} // namespace

int ScratchSpace::open() {
    if (failed()) return -1;
    // A file without a name vanishes with its last descriptor; where the file
    // system cannot make one, a named file is unlinked at once.
    int fd = ::open(folder_.c_str(), O_TMPFILE | O_RDWR | O_CLOEXEC, 0600);
    if (fd < 0 && errno != ENOENT && errno != ENOTDIR && errno != EACCES) {
        std::string name = folder_ + "/.tvmc-scratch-XXXXXX";
        fd = ::mkostemp(name.data(), O_CLOEXEC);
        if (fd >= 0) ::unlink(name.c_str());
    }
    if (fd < 0) fail("cannot make a scratch file in " + folder_);
    return fd;
}

void ScratchSpace::fail(const std::string& what) {
    const std::string text = what + ": " + std::strerror(errno);
    std::lock_guard lock(mutex_);
    if (problem_.empty()) problem_ = text;
}

bool ScratchSpace::failed() const {
    std::lock_guard lock(mutex_);
    return !problem_.empty();
}

std::string ScratchSpace::problem() const {
    std::lock_guard lock(mutex_);
    return problem_;
}

ByteSpool::ByteSpool(ScratchSpace& scratch, uint64_t memoryLimit)
    : scratch_(scratch), memoryLimit_(memoryLimit) {}

ByteSpool::~ByteSpool() {
    clear();
}

void ByteSpool::clear() {
    if (mapped_ && mapped_ != memory_) ::munmap(const_cast<uint8_t*>(mapped_), size_);
    if (memory_) ::munmap(memory_, capacity_);
    if (fd_ >= 0) ::close(fd_);
    memory_ = nullptr;
    mapped_ = nullptr;
    capacity_ = 0;
    size_ = 0;
    fd_ = -1;
    release(buffer_);
}

void ByteSpool::append(const void* data, std::size_t n) {
    if (n == 0) return;
    if (fd_ < 0 && size_ + n > memoryLimit_) spill();
    if (fd_ >= 0) {
        const auto* bytes = static_cast<const uint8_t*>(data);
        buffer_.insert(buffer_.end(), bytes, bytes + n);
        if (buffer_.size() >= kWriteBuffer) flushBuffer();
        size_ += n;
        return;
    }
    if (size_ + n > capacity_) {
        std::size_t grown = std::max(capacity_ ? capacity_ * 2 : kFirstCapacity, size_ + n);
        void* p = memory_ ? ::mremap(memory_, capacity_, grown, MREMAP_MAYMOVE)
                          : ::mmap(nullptr, grown, PROT_READ | PROT_WRITE,
                                   MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
        if (p == MAP_FAILED) {
            spill(); // out of address space or memory: the file takes it
            append(data, n);
            return;
        }
        memory_ = static_cast<uint8_t*>(p);
        capacity_ = grown;
    }
    std::memcpy(memory_ + size_, data, n);
    size_ += n;
}

void ByteSpool::spill() {
    fd_ = scratch_.open();
    if (fd_ < 0) {
        // Nothing can be kept: the run stops at the end of the stage.
        fd_ = ::open("/dev/null", O_WRONLY | O_CLOEXEC);
        return;
    }
    if (memory_ && !writeAll(fd_, memory_, size_)) scratch_.fail("cannot write a scratch file");
    if (memory_) ::munmap(memory_, capacity_);
    memory_ = nullptr;
    capacity_ = 0;
    buffer_.reserve(kWriteBuffer);
}

void ByteSpool::flushBuffer() {
    if (!buffer_.empty() && !scratch_.failed() && !writeAll(fd_, buffer_.data(), buffer_.size()))
        scratch_.fail("cannot write a scratch file");
    buffer_.clear();
}

const uint8_t* ByteSpool::view() {
    if (mapped_ || size_ == 0) return mapped_;
    if (fd_ < 0) return mapped_ = memory_;
    flushBuffer();
    if (scratch_.failed()) return nullptr;
    void* p = ::mmap(nullptr, size_, PROT_READ, MAP_SHARED, fd_, 0);
    if (p == MAP_FAILED) {
        scratch_.fail("cannot map a scratch file");
        return nullptr;
    }
    return mapped_ = static_cast<const uint8_t*>(p);
}

bool ByteSpool::read(uint64_t offset, void* out, std::size_t n) {
    if (offset + n > size_) return false;
    if (fd_ < 0) {
        std::memcpy(out, memory_ + offset, n);
        return true;
    }
    flushBuffer();
    auto* to = static_cast<uint8_t*>(out);
    while (n > 0 && !scratch_.failed()) {
        const ssize_t done = ::pread(fd_, to, n, static_cast<off_t>(offset));
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            scratch_.fail("cannot read a scratch file");
            break;
        }
        to += done;
        offset += static_cast<uint64_t>(done);
        n -= static_cast<std::size_t>(done);
    }
    return !scratch_.failed();
}

void ByteSpool::dropResidentPages() {
    if (mapped_ && fd_ >= 0) ::madvise(const_cast<uint8_t*>(mapped_), size_, MADV_DONTNEED);
}

bool ByteSpool::copyTo(int out, uint64_t offset, uint64_t n) {
    if (offset + n > size_) return false;
    if (fd_ < 0) return writeAll(out, memory_ + offset, n);
    flushBuffer();
    auto from = static_cast<off_t>(offset);
    while (n > 0) {
        const ssize_t done = ::copy_file_range(fd_, &from, out, nullptr, n, 0);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) break;
        n -= static_cast<uint64_t>(done);
    }
    // Some file systems cannot copy between each other: copy through memory.
    std::vector<uint8_t> piece;
    while (n > 0) {
        piece.resize(static_cast<std::size_t>(std::min<uint64_t>(n, kWriteBuffer)));
        if (!read(static_cast<uint64_t>(from), piece.data(), piece.size()) ||
            !writeAll(out, piece.data(), piece.size()))
            return false;
        from += static_cast<off_t>(piece.size());
        n -= piece.size();
    }
    return true;
}

} // namespace tevo::tvmc
