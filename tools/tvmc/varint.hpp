// Variable-length integers of the scratch files: 7 bits a byte, low bits
// first; signed values zigzag-coded so that small differences either way
// take one byte.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tevo::tvmc {

inline void putUnsigned(std::vector<uint8_t>& out, uint64_t v) {
    while (v >= 0x80) {
        out.push_back(static_cast<uint8_t>(v | 0x80));
        v >>= 7;
    }
    out.push_back(static_cast<uint8_t>(v));
}

inline uint64_t zigzag(int64_t v) {
    return (static_cast<uint64_t>(v) << 1) ^ static_cast<uint64_t>(v >> 63);
}

inline void putSigned(std::vector<uint8_t>& out, int64_t v) {
    putUnsigned(out, zigzag(v));
}

// The same into room that the caller made (kMaxVarintBytes a value).
inline constexpr std::size_t kMaxVarintBytes = 10;

inline void writeUnsigned(uint8_t*& to, uint64_t v) {
    while (v >= 0x80) {
        *to++ = static_cast<uint8_t>(v | 0x80);
        v >>= 7;
    }
    *to++ = static_cast<uint8_t>(v);
}

// Readers of bytes that this program wrote itself.
inline uint64_t getUnsigned(const uint8_t*& p) {
    uint64_t v = 0;
    for (int shift = 0;; shift += 7) {
        const uint8_t b = *p++;
        v |= uint64_t{b & 0x7Fu} << shift;
        if (b < 0x80) return v;
    }
}

inline int64_t getSigned(const uint8_t*& p) {
    const uint64_t v = getUnsigned(p);
    return static_cast<int64_t>(v >> 1) ^ -static_cast<int64_t>(v & 1);
}

} // namespace tevo::tvmc
