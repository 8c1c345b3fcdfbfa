// Received bytes waiting to be consumed, kept in a fixed array: new bytes go
// behind the waiting ones, which move to the front of the array when the new
// ones would not fit behind them. The serial port reader and the Sentrix
// plug-in keep their bytes in one; header-only, so that plug-ins, which link
// nothing of the program, take it through the plug-in boundary's include path.
#pragma once

#include <array>
#include <cstdint>
#include <cstring>

namespace tevo {

template <int32_t Capacity> class FrontAlignedBuffer {
public:
    static constexpr int32_t kCapacity = Capacity;

    // The waiting bytes.
    int32_t size() const { return count_; }
    const uint8_t* data() const { return bytes_.data() + start_; }
    uint8_t operator[](int32_t i) const { return bytes_[start_ + i]; }

    // Makes room for `incoming` bytes and returns how many fit behind the
    // waiting ones. The waiting bytes move to the front when the incoming ones
    // would not fit behind them; when they would still fill the array, the
    // waiting bytes are dropped: a whole buffer that nobody took is noise, and
    // the newest bytes are the ones worth keeping.
    int32_t makeRoom(int32_t incoming) {
        if (start_ > 0 && count_ == 0) start_ = 0;
        if (start_ + count_ + incoming > Capacity && start_ > 0) alignFront();
        if (count_ > 0 && start_ + count_ + incoming >= Capacity) start_ = count_ = 0;
        return Capacity - start_ - count_;
    }
    // Where the room that makeRoom made begins; `added` counts what was
    // written there.
    uint8_t* back() { return bytes_.data() + start_ + count_; }
    void added(int32_t n) { count_ += n; }

    // Removes `n` waiting bytes from the front.
    void consume(int32_t n) {
        start_ += n;
        count_ -= n;
    }
    // Moves the waiting bytes to the front of the array.
    void alignFront() {
        if (start_ == 0) return;
        std::memmove(bytes_.data(), bytes_.data() + start_, static_cast<std::size_t>(count_));
        start_ = 0;
    }
    void clear() { start_ = count_ = 0; }

private:
    std::array<uint8_t, Capacity> bytes_{};
    int32_t start_ = 0; // the first waiting byte
    int32_t count_ = 0; // waiting bytes from start_ on; start_ + count_ <= Capacity
};

} // namespace tevo
