#include "gps/byte_source.hpp"

#include "platform/clock.hpp"
#include "platform/quit_request.hpp"

#include <algorithm>
#include <cstring>

namespace tevo {

namespace {

// Bits on the line per byte: start, eight data, stop.
constexpr int32_t kBitsPerByte = 10;
constexpr int32_t kMsPerSecond = 1000;
constexpr int kMaxPeriods = 5;
constexpr int kEmptyPeriods = 2;
// A period never exceeds this, whatever the rate: at the slowest rate that
// detection tries a sample of a few hundred bytes takes well under it, and a
// configured rate of a few bits per second must not stall the start-up for
// hours.
constexpr uint32_t kMaxPeriodMs = 2000;

} // namespace

void cByteSource::startReader(int32_t baudRate) {
    baudRate_ = baudRate;
    {
        std::lock_guard<std::mutex> guard(lock_);
        bytes_.clear();
        count_ = 0;
    }
    stop_ = false;
    gone_ = false;
    lastArrival_ = ticks();
    open_ = true;
    reader_ = std::thread([this] { readerLoop(); });
}

void cByteSource::stopReader() {
    stop_ = true;
    releaseWait();
    if (reader_.joinable()) reader_.join();
    open_ = false;
}

void cByteSource::append(const uint8_t* bytes, int32_t n) {
    if (n <= 0) return;
    std::lock_guard<std::mutex> guard(lock_);
    const int32_t room = bytes_.makeRoom(n);
    // More than the whole buffer at once: its newest bytes.
    if (n > room) {
        bytes += n - room;
        n = room;
    }
    std::memcpy(bytes_.back(), bytes, static_cast<std::size_t>(n));
    bytes_.added(n);
    count_.store(bytes_.size(), std::memory_order_release);
}

void cByteSource::noteArrival() {
    // The time first: whoever sees this arrival counted sees its time too.
    lastArrival_ = ticks();
    ++arrivals_;
}

uint32_t cByteSource::periodMs(int32_t wanted, int32_t baudRate) {
    if (baudRate <= 0) return 0; // no line to wait for
    const int64_t lineMs = int64_t(wanted) * kBitsPerByte * kMsPerSecond / baudRate;
    return static_cast<uint32_t>(std::min<int64_t>(lineMs, kMaxPeriodMs));
}

int32_t cByteSource::takeBytes(int32_t wanted, uint8_t* destination) {
    if (!open_ || wanted <= 0 || destination == nullptr) return 0;
    // Wait for the bytes, a period being the time they take on the line. A
    // close of the source or a request to end the program ends the wait empty.
    const uint32_t period = periodMs(wanted, baudRate_);
    for (int slept = 1; count() < wanted && slept <= kMaxPeriods; ++slept) {
        if (sleepUnlessQuit(period) || stop_) return 0;
        if (slept == kEmptyPeriods && count() == 0) return 0;
        if (slept == kMaxPeriods && count() < wanted) wanted = count();
    }
    // Copy and remove; the reader may have thrown bytes away meanwhile.
    std::lock_guard<std::mutex> guard(lock_);
    wanted = std::min(wanted, bytes_.size());
    std::memcpy(destination, bytes_.data(), static_cast<std::size_t>(wanted));
    bytes_.consume(wanted);
    count_.store(bytes_.size(), std::memory_order_release);
    return wanted;
}

int32_t cByteSource::copyBytes(int32_t wanted, uint8_t* destination) {
    if (wanted <= 0 || destination == nullptr) return 0;
    std::lock_guard<std::mutex> guard(lock_);
    wanted = std::min(wanted, bytes_.size());
    std::memcpy(destination, bytes_.data(), static_cast<std::size_t>(wanted));
    return wanted;
}

} // namespace tevo
