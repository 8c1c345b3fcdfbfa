// One serial port and its reader thread: received bytes collect in a 16 KB
// buffer from which takeBytes removes them.
#pragma once

#include "platform/serial_device.hpp"
#include "plugin-api/front_aligned_buffer.hpp"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <thread>

namespace tevo {

class cSerialPort {
public:
    static constexpr int32_t kBufferSize = 16384;

    cSerialPort() = default;
    ~cSerialPort();
    cSerialPort(const cSerialPort&) = delete;
    cSerialPort& operator=(const cSerialPort&) = delete;

    // Opens COM<portNumber> at the rate and starts the reader. An open port is
    // closed first. True when the port is open.
    bool open(int32_t portNumber, int32_t baudRate);
    // Stops the reader and closes the port; it can be opened again.
    void close();
    bool isOpen() const { return open_; }

    // Waits until `wanted` bytes are buffered (at most five periods of the
    // time they take on the line, a period being at most two seconds), then
    // copies and removes them. Returns the number taken: 0 when nothing came
    // within two periods, when the port is closed meanwhile or when the
    // program is asked to end (quitRequested).
    int32_t takeBytes(int32_t wanted, uint8_t* destination);

    // Unconsumed bytes; read without the lock.
    int32_t count() const { return count_.load(std::memory_order_acquire); }
    int32_t baudRate() const { return baudRate_; }
    int32_t portNumber() const { return portNumber_; }

private:
    // How long takeBytes waits per period for `wanted` bytes.
    uint32_t periodMs(int32_t wanted) const;
    // The reader thread: waits for bytes and appends them to the buffer.
    void readerLoop();
    // Makes room for n queued bytes and reads them into the buffer.
    void appendQueued(int32_t n);

    FrontAlignedBuffer<kBufferSize> bytes_;
    std::atomic<int32_t> count_{0}; // bytes_.size(), for readers without the lock
    int32_t baudRate_ = 0;
    int32_t portNumber_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> open_{false};
    std::thread reader_;
    SerialDevice device_;
    std::mutex lock_; // guards bytes_ and count_
};

} // namespace tevo
