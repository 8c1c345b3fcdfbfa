// Where a receiver's bytes come from: a serial port or a gpsd connection.
// A reader thread of the source's own collects them in a 16 KB buffer, from
// which detection copies its samples and the position worker takes batches.
#pragma once

#include "plugin-api/front_aligned_buffer.hpp"

#include <atomic>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>

namespace tevo {

class cByteSource {
public:
    static constexpr int32_t kBufferSize = 16384;

    cByteSource() = default;
    // A derived class stops the reader in its own destructor (stopReader),
    // while the device the reader waits on still exists.
    virtual ~cByteSource() = default;
    cByteSource(const cByteSource&) = delete;
    cByteSource& operator=(const cByteSource&) = delete;

    // Opens again what the last open opened: a receiver that went away may
    // be back. True when it is open.
    virtual bool reopen() = 0;
    // Stops the reader and closes; the source can be opened again.
    virtual void close() = 0;
    // Says where the bytes come from: "COM3 at 4800 bps", "gpsd at localhost:2947".
    virtual std::u16string name() const = 0;
    // True when the source knows that no receiver talks through it (gpsd
    // said it has none): detection need not wait for its bytes.
    virtual bool knownSilent() const { return false; }

    bool isOpen() const { return open_; }
    // True once the device went away (unplugged, the other end of a pty or
    // the connection closed), until the next open.
    bool gone() const { return gone_; }
    // ticks() when bytes last arrived; the open counts as an arrival.
    uint32_t lastArrival() const { return lastArrival_; }
    // How many times bytes arrived since the source was made; never goes
    // back, not even at an open. A change means that bytes came, even when
    // they were taken before anybody looked at count().
    uint32_t arrivals() const { return arrivals_; }
    // The line's rate, which paces the waits of takeBytes; 0 for none.
    int32_t baudRate() const { return baudRate_; }

    // Bytes waiting; read without the lock.
    int32_t count() const { return count_.load(std::memory_order_acquire); }
    // Waits until `wanted` bytes are buffered (at most five periods of the
    // time they take on the line, a period being at most two seconds), then
    // copies and removes them. Returns the number taken: 0 when nothing came
    // within two periods, when the source is closed meanwhile or when the
    // program is asked to end (quitRequested).
    int32_t takeBytes(int32_t wanted, uint8_t* destination);
    // Copies the first `wanted` waiting bytes (at most count()) and leaves
    // them waiting; the number copied.
    int32_t copyBytes(int32_t wanted, uint8_t* destination);

    // How long a wait for `wanted` bytes at `baudRate` lasts per period: the
    // time they take on the line, at most two seconds; 0 without a rate.
    static uint32_t periodMs(int32_t wanted, int32_t baudRate);

protected:
    // Empties the buffer and runs readerLoop on a thread of its own.
    void startReader(int32_t baudRate);
    // Asks the reader to end, wakes it with releaseWait and waits for it.
    void stopReader();
    virtual void readerLoop() = 0;
    virtual void releaseWait() = 0;

    // Appends bytes that arrived; on overflow the newest are kept.
    void append(const uint8_t* bytes, int32_t n);
    void noteArrival();
    void noteGone() { gone_ = true; }
    bool stopping() const { return stop_; }

    FrontAlignedBuffer<kBufferSize> bytes_; // guarded by lock_
    std::atomic<int32_t> count_{0};         // bytes_.size(), for readers without the lock
    std::mutex lock_;

private:
    int32_t baudRate_ = 0;
    std::atomic<bool> stop_{false};
    std::atomic<bool> open_{false};
    std::atomic<bool> gone_{false};
    std::atomic<uint32_t> lastArrival_{0};
    std::atomic<uint32_t> arrivals_{0};
    std::thread reader_;
};

} // namespace tevo
