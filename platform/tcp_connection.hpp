// A TCP connection to a service such as gpsd: a connect that gives up after
// a time limit, a wait for received bytes that another thread can release,
// and reads and writes that never block.
#pragma once

#include "platform/wake_event.hpp"

#include <cstdint>
#include <string>
#include <string_view>

namespace tevo {

class TcpConnection {
public:
    // What a wait ended with; Gone when the other end closed the connection.
    enum class Event { Data, Released, Gone };

    TcpConnection() = default;
    ~TcpConnection();
    TcpConnection(const TcpConnection&) = delete;
    TcpConnection& operator=(const TcpConnection&) = delete;

    // Connects to `host` (a name or an address) on `port`, trying each address
    // the name has, for at most `timeLimitMs` each. False when nobody answers.
    // Looking the name up may wait on the system's resolver.
    bool connect(const std::string& host, int32_t port, int timeLimitMs);
    void close();
    bool isOpen() const { return fd_ >= 0; }

    // Blocks until bytes arrive, the other end closes or release is called.
    Event wait();
    // Wakes a thread blocked in wait (and the next one to call it).
    void release() { wake_.signal(); }
    // Sleeps up to `milliseconds`, returning early on release. True when released.
    bool pause(int milliseconds) { return wake_.pause(milliseconds); }

    // Reads what has arrived without blocking; the count read, 0 for none.
    int32_t read(uint8_t* destination, int32_t wanted);
    // Sends all of `text`, waiting at most `timeLimitMs` for room. False when
    // it could not.
    bool send(std::string_view text, int timeLimitMs);

private:
    int fd_ = -1;
    WakeEvent wake_;
};

} // namespace tevo
