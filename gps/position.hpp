// The receiver reader: owns the serial port and the worker that hands the
// port's bytes to the chosen plug-in in batches.
#pragma once

#include "gps/serial_port.hpp"
#include "gps/thread.hpp"
#include "plugin-api/plugin_api.hpp"

#include <array>
#include <cstdint>
#include <memory>

namespace tevo {

class cPosition : public cThread {
public:
    static constexpr int32_t kBatchSize = 4096;
    // Fewer waiting bytes than this are left for the next pass, so that the
    // plug-in sees whole sentences rather than single characters.
    static constexpr int32_t kMinimumBatch = 60;

    cPosition();
    ~cPosition() override;

    // Clears stop and lets the worker run (once a receiver is found).
    void start();

    std::unique_ptr<std::array<uint8_t, kBatchSize>> batch;
    std::unique_ptr<cSerialPort> port;
    int32_t portNumber = 0; // COM port of the receiver found; 0 while none
    int32_t baudRate = 0;
    PluginApi api{};

protected:
    int run() override;
};

} // namespace tevo
