#include "render/raster/zbuffer.hpp"

#include <cstring>
#include <limits>
#include <new>

namespace tevo {

namespace {
// Depths wider than 16 bits would not fit the painter's 32-bit depth steps
// and nothing asks for them.
constexpr int kWidestEntry = 2;
} // namespace

void cZBuffer::reset() {
    data_.clear();
    data_.shrink_to_fit();
    width_ = height_ = rowBytes_ = size_ = maxDepth_ = 0;
    entrySize_ = shift_ = 0;
}

bool cZBuffer::resize(int32_t width, int32_t height) {
    return create(width, height, entrySize_ == 0 ? kWidestEntry : entrySize_);
}

bool cZBuffer::create(int32_t width, int32_t height, int bytesPerEntry) {
    if (bytesPerEntry <= 0) return false;
    reset();
    const int entry = bytesPerEntry >= kWidestEntry ? kWidestEntry : 1;
    const int64_t bytes = int64_t{width} * height * entry;
    if (width < 0 || height < 0 || bytes > std::numeric_limits<int32_t>::max()) return false;
    try {
        data_.assign(static_cast<size_t>((bytes + 1) / 2), 0);
    } catch (const std::bad_alloc&) {
        reset();
        return false;
    }
    width_ = width;
    height_ = height;
    entrySize_ = static_cast<uint8_t>(entry);
    shift_ = entry == 2 ? 1 : 0;
    rowBytes_ = width * entry;
    size_ = static_cast<int32_t>(bytes);
    maxDepth_ = (1 << (8 * entry)) - 1;
    return true;
}

void cZBuffer::clear() {
    if (!data_.empty()) std::memset(data_.data(), 0, data_.size() * sizeof(uint16_t));
}

uint32_t cZBuffer::at(int32_t x, int32_t y) const {
    if (entrySize_ == 1) return data()[int64_t{y} * rowBytes_ + x];
    return data_[int64_t{y} * width_ + x];
}

} // namespace tevo
