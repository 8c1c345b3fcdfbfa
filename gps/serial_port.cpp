#include "gps/serial_port.hpp"

#include "platform/clock.hpp"
#include "platform/quit_request.hpp"

#include <algorithm>
#include <cstring>

namespace tevo {

namespace {

// A gone device (unplugged, the other end of a pty closed) is tried again
// after this pause instead of in a busy loop.
constexpr int kGoneRetryMs = 100;
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

cSerialPort::~cSerialPort() {
    close();
}

bool cSerialPort::open(int32_t portNumber, int32_t baudRate) {
    // Remember the request; close a port that is open.
    portNumber_ = portNumber;
    baudRate_ = baudRate;
    close();
    // Open the device, set the line, raise DTR and RTS.
    if (!device_.open(serialDevicePath(portNumber), baudRate)) return false;
    // An empty buffer.
    {
        std::lock_guard<std::mutex> guard(lock_);
        bytes_.clear();
        count_ = 0;
    }
    stop_ = false;
    open_ = true;
    // The reader runs at once.
    reader_ = std::thread([this] { readerLoop(); });
    return true;
}

void cSerialPort::close() {
    stop_ = true;
    device_.release(); // ends a pending wait
    if (reader_.joinable()) reader_.join();
    device_.close();
    open_ = false;
}

void cSerialPort::readerLoop() {
    while (!stop_) {
        // Wait for received bytes.
        SerialDevice::Event event = device_.wait();
        // Released by close.
        if (stop_ || event == SerialDevice::Event::Released) return;
        if (event == SerialDevice::Event::Gone) {
            device_.pause(kGoneRetryMs);
            continue;
        }
        // Bytes in the driver's queue.
        int32_t n = device_.queued();
        if (n == 0) {
            device_.pause(kGoneRetryMs); // readable yet empty: a closing device
            continue;
        }
        appendQueued(n);
    }
}

void cSerialPort::appendQueued(int32_t n) {
    std::lock_guard<std::mutex> guard(lock_);
    // Make room: front-align, and on overflow keep the new bytes.
    n = std::min(n, bytes_.makeRoom(n));
    // Closing: read nothing more. Otherwise the read of queued bytes
    // completes at once, under the lock.
    if (!stop_) {
        bytes_.added(device_.read(bytes_.back(), n));
        bytes_.alignFront();
    }
    count_.store(bytes_.size(), std::memory_order_release);
}

uint32_t cSerialPort::periodMs(int32_t wanted) const {
    const int64_t lineMs = int64_t(wanted) * kBitsPerByte * kMsPerSecond / baudRate_;
    return static_cast<uint32_t>(std::min<int64_t>(lineMs, kMaxPeriodMs));
}

int32_t cSerialPort::takeBytes(int32_t wanted, uint8_t* destination) {
    if (!open_ || wanted <= 0 || destination == nullptr || baudRate_ <= 0) return 0;
    // Wait for the bytes, a period being the time they take on the line. A
    // close of the port or a request to end the program ends the wait empty.
    const uint32_t period = periodMs(wanted);
    for (int slept = 1; count() < wanted && slept <= kMaxPeriods; ++slept) {
        if (sleepUnlessQuit(period) || stop_) return 0;
        if (slept == kEmptyPeriods && count() == 0) return 0;
        if (slept == kMaxPeriods && count() < wanted) wanted = count();
    }
    // Copy and remove; the reader may have thrown bytes away meanwhile.
    std::lock_guard<std::mutex> guard(lock_);
    wanted = std::min(wanted, bytes_.size());
    std::memcpy(destination, bytes_.data(), wanted);
    bytes_.consume(wanted);
    count_.store(bytes_.size(), std::memory_order_release);
    return wanted;
}

} // namespace tevo
