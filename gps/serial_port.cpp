#include "gps/serial_port.hpp"

#include "platform/text.hpp"

#include <algorithm>

namespace tevo {

namespace {

// A gone device (unplugged, the other end of a pty closed) is tried again
// after this pause instead of in a busy loop.
constexpr int kGoneRetryMs = 100;

} // namespace

cSerialPort::~cSerialPort() {
    close();
}

bool cSerialPort::open(int32_t portNumber, int32_t baudRate) {
    // Remember the request; close a port that is open.
    portNumber_ = portNumber;
    requestedRate_ = baudRate;
    close();
    // Open the device, set the line, raise DTR and RTS.
    if (!device_.open(serialDevicePath(portNumber), baudRate)) return false;
    // An empty buffer; the reader runs at once.
    startReader(baudRate);
    return true;
}

void cSerialPort::close() {
    stopReader(); // ends a pending wait
    device_.close();
}

std::u16string cSerialPort::name() const {
    return formatWide(u"COM%d at %d bps", portNumber_, requestedRate_);
}

void cSerialPort::readerLoop() {
    while (!stopping()) {
        // Wait for received bytes.
        SerialDevice::Event event = device_.wait();
        // Released by close.
        if (stopping() || event == SerialDevice::Event::Released) return;
        if (event == SerialDevice::Event::Gone) {
            noteGone();
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
    int32_t got = 0;
    {
        std::lock_guard<std::mutex> guard(lock_);
        // Make room: front-align, and on overflow keep the new bytes.
        n = std::min(n, bytes_.makeRoom(n));
        // Closing: read nothing more. Otherwise the read of queued bytes
        // completes at once, under the lock.
        if (!stopping()) {
            got = device_.read(bytes_.back(), n);
            bytes_.added(got);
            bytes_.alignFront();
        }
        count_.store(bytes_.size(), std::memory_order_release);
    }
    if (got > 0) noteArrival();
}

} // namespace tevo
