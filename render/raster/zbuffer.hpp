// The depth buffer of the perspective view: one entry per viewport pixel, a
// larger value is nearer.
#pragma once

#include <cstdint>
#include <vector>

namespace tevo {

class cZBuffer {
public:
    cZBuffer() = default;
    virtual ~cZBuffer() = default;
    cZBuffer(const cZBuffer&) = delete;
    cZBuffer& operator=(const cZBuffer&) = delete;

    // Re-creates the buffer with the current entry size.
    virtual bool resize(int32_t width, int32_t height);
    // Allocates width x height entries of the largest power of two bytes not
    // above bytesPerEntry, at most 2 (depths are 8 or 16 bits). False for 0
    // bytes, a negative or too large size, or when memory runs out; the buffer
    // is then empty.
    virtual bool create(int32_t width, int32_t height, int bytesPerEntry);

    // Sets every entry to 0 (farthest), as every perspective frame starts.
    void clear();

    bool hasStorage() const { return !data_.empty(); }
    uint8_t* data() { return reinterpret_cast<uint8_t*>(data_.data()); }
    const uint8_t* data() const { return reinterpret_cast<const uint8_t*>(data_.data()); }
    int32_t width() const { return width_; }
    int32_t height() const { return height_; }
    int32_t rowBytes() const { return rowBytes_; }
    uint8_t entrySize() const { return entrySize_; }
    int32_t size() const { return size_; }
    uint8_t shift() const { return shift_; }
    int32_t maxDepth() const { return maxDepth_; }

    // The entry at (x, y); the caller keeps inside width x height.
    uint32_t at(int32_t x, int32_t y) const;

private:
    void reset();

    // Held as 16-bit words so that 16-bit entries are read as what they are.
    std::vector<uint16_t> data_;
    int32_t width_ = 0;
    int32_t height_ = 0;
    int32_t rowBytes_ = 0;
    uint8_t entrySize_ = 0;
    int32_t size_ = 0;
    uint8_t shift_ = 0;
    int32_t maxDepth_ = 0;
};

} // namespace tevo
