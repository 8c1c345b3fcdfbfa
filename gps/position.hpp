// The receiver reader: owns the source the receiver was found on (a serial
// port or gpsd) and the worker that hands its bytes to the chosen plug-in in
// batches. The worker also watches the source: one that goes away is opened
// again every second until the receiver is back.
#pragma once

#include "gps/byte_source.hpp"
#include "gps/receiver_status.hpp"
#include "gps/thread.hpp"
#include "plugin-api/plugin_api.hpp"

#include <array>
#include <atomic>
#include <cstdint>
#include <memory>
#include <string>

namespace tevo {

class cPosition : public cThread {
public:
    static constexpr int32_t kBatchSize = 4096;
    // Fewer waiting bytes than this are left for the next pass, so that the
    // plug-in sees whole sentences rather than single characters.
    static constexpr int32_t kMinimumBatch = 60;

    cPosition();
    ~cPosition() override;

    // Clears stop and lets the worker run with `source` and `api` (once a
    // receiver is found).
    void start();

    std::unique_ptr<std::array<uint8_t, kBatchSize>> batch;
    std::unique_ptr<cByteSource> source; // where the receiver was found; none while none
    int32_t portNumber = 0; // COM port of the receiver found; 0 while none and for gpsd
    int32_t baudRate = 0;
    PluginApi api{};

    // The receiver's state, for the screens. Main thread.
    ReceiverStatus status() const;
    // Detection has begun or ended without a receiver.
    void setSearching(bool searching);
    // A record taken from the plug-in; one with a fix is the last fix.
    void noteRecord(const GpsData& record, uint32_t now);
    // True once a receiver was found and the worker runs.
    bool running() const;

protected:
    int run() override;

private:
    // Follows the source: lost, opened again, back. False while it has no
    // bytes to give.
    bool watchSource();
    // Hands the bytes that wait to the plug-in in batches of at most kBatchSize.
    void push(int32_t n);
    // Changes the link, saying so on the console.
    void setLink(ReceiverLink link);
    // Lost or Reopening: only bytes that arrive from now on bring it back.
    void loseLink(ReceiverLink link);

    std::atomic<ReceiverLink> link_{ReceiverLink::None};
    std::u16string sourceName_;   // set by start, before the worker runs
    uint32_t lastReopen_ = 0;     // worker only
    uint32_t arrivalsAtLoss_ = 0; // worker only: the source's arrivals() when the link was lost
    bool fixSeen_ = false;        // main thread only
    uint32_t lastFixTick_ = 0;
};

} // namespace tevo
