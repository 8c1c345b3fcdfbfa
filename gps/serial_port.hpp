// One serial port and its reader thread: received bytes collect in the
// source's 16 KB buffer from which takeBytes removes them.
#pragma once

#include "gps/byte_source.hpp"
#include "platform/serial_device.hpp"

#include <cstdint>

namespace tevo {

class cSerialPort : public cByteSource {
public:
    cSerialPort() = default;
    ~cSerialPort() override;

    // Opens COM<portNumber> at the rate and starts the reader. An open port is
    // closed first. True when the port is open.
    bool open(int32_t portNumber, int32_t baudRate);
    bool reopen() override {
        return device_.mayReopen(serialDevicePath(portNumber_)) &&
               open(portNumber_, requestedRate_);
    }
    void close() override;
    std::u16string name() const override;

    int32_t portNumber() const { return portNumber_; }

private:
    void readerLoop() override;
    void releaseWait() override { device_.release(); }
    // Makes room for n queued bytes and reads them into the buffer.
    void appendQueued(int32_t n);

    int32_t portNumber_ = 0;
    int32_t requestedRate_ = 0;
    SerialDevice device_;
};

} // namespace tevo
