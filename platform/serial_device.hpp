// A serial port device on Linux: the raw termios line, the wait for received
// bytes that another thread can release, the input queue length and the read
// of already queued bytes.
#pragma once

#include "platform/wake_event.hpp"

#include <cstddef>
#include <cstdint>
#include <string>
#include <termios.h>

namespace tevo {

// Where COMn lives. With a program folder whose ports/ folder exists, COMn is
// what ports/COMn links to and nothing else; otherwise the fixed table
// (COM1-4 ttyS0-3, COM5-20 ttyUSB0-15, COM21-36 ttyACM0-15, COM37-64 ttyS4-31,
// and Bluetooth's COM65-72 rfcomm0-7).
void setSerialPortsFolder(const std::string& programFolder);
std::string serialDevicePath(int32_t portNumber);

class SerialDevice {
public:
    // What a wait ended with.
    enum class Event { Data, Released, Gone };

    SerialDevice();
    ~SerialDevice();
    SerialDevice(const SerialDevice&) = delete;
    SerialDevice& operator=(const SerialDevice&) = delete;

    // Opens the device exclusively and non-blocking, sets it raw 8N1 at the
    // rate without flow control, and raises DTR and RTS. False when the device
    // cannot be opened; the settings are applied as far as the device allows.
    bool open(const std::string& path, int32_t baudRate);
    void close();
    bool isOpen() const { return fd_ >= 0; }
    // Whether the port at `path` may be opened again after it went away. A
    // pseudo-terminal does not come back: its program made it and ended, and
    // the same number may since belong to another program. So a link to one
    // is followed again only once it was made anew (a new program on the
    // port); a real device (USB, Bluetooth, a serial line) is always tried.
    bool mayReopen(const std::string& path) const;

    // Blocks until bytes arrive, the device goes away or release is called.
    Event wait();
    // Wakes a thread blocked in wait (and the next one to call it).
    void release();
    // Sleeps up to `milliseconds`, returning early on release. True when released.
    bool pause(int milliseconds);

    // Bytes in the driver's input queue.
    int32_t queued() const;
    // Reads already queued bytes without blocking; the count read, 0 on none or failure.
    int32_t read(uint8_t* destination, int32_t wanted);

private:
    int fd_ = -1;
    WakeEvent wake_; // signalled by release
    // The line settings found at open, given back at close: the device may
    // serve someone else (a console) once we are done with it.
    termios saved_{};
    bool restore_ = false;
    // What the last successful open found: a pseudo-terminal, and the
    // identity of the path itself (the link in ports/, or the device).
    bool openedPty_ = false;
    uint64_t pathInode_ = 0;
    int64_t pathChanged_ = 0; // nanoseconds
};

} // namespace tevo
