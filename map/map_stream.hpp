// The open map file: positioned reads that never go past its end.
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

namespace tevo {

class MapStream {
public:
    // Opens for binary reading and measures the file; false when it cannot.
    bool open(const std::string& path);
    void close();
    bool isOpen() const { return file_ != nullptr; }
    uint64_t size() const { return size_; }

    // Reads exactly n bytes at offset; false (nothing promised about buf) when
    // they do not all lie inside the file or the read fails.
    bool readAt(uint64_t offset, void* buf, std::size_t n);
    // Whether n bytes starting at offset lie inside the file.
    bool fits(uint64_t offset, uint64_t n) const { return offset <= size_ && n <= size_ - offset; }

private:
    struct Closer {
        void operator()(std::FILE* f) const { std::fclose(f); }
    };
    std::unique_ptr<std::FILE, Closer> file_;
    uint64_t size_ = 0;
};

} // namespace tevo
