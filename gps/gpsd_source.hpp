// gpsd as a source of receiver bytes: a connection on which gpsd was asked
// for the raw NMEA stream of its receivers. The sentences reach the buffer
// as a serial port's bytes do; gpsd's own reports are left out.
#pragma once

#include "gps/byte_source.hpp"
#include "gps/gpsd_stream.hpp"
#include "platform/tcp_connection.hpp"

#include <cstdint>
#include <string>

namespace tevo {

// Where gpsd is looked for; `enabled` false keeps detection away from it.
struct GpsdPlace {
    static constexpr int32_t kDefaultPort = 2947;
    bool enabled = false;
    std::string host = "localhost";
    int32_t port = kDefaultPort;
};

class cGpsdSource : public cByteSource {
public:
    // A connection that takes longer than this is not a gpsd worth waiting for.
    static constexpr int kConnectMs = 1000;
    // Detection judges gpsd's sample like a port's at this rate.
    static constexpr int32_t kNominalRate = 57600;

    explicit cGpsdSource(GpsdPlace place);
    ~cGpsdSource() override;

    // Connects, asks for the NMEA stream and starts the reader. True when
    // gpsd answered.
    bool open();
    bool reopen() override { return open(); }
    void close() override;
    std::u16string name() const override;
    bool knownSilent() const override { return noReceiver_; }

private:
    void readerLoop() override;
    void releaseWait() override { connection_.release(); }
    // Reads what arrived and appends the sentences.
    void receive();

    GpsdPlace place_;
    TcpConnection connection_;
    GpsdStream stream_; // used by the reader thread only
    std::atomic<bool> noReceiver_{false};
};

} // namespace tevo
