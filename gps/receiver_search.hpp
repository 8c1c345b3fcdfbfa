// Finding the receiver with the receiver plug-ins: on gpsd, on one port at
// one rate, or on every port at every rate.
//
// Each place is read once at each rate, and the same sample is offered to
// every plug-in in load order (see detection_sample.hpp). The scan of the
// ports chooses what trying each plug-in in turn over every port (COM1 to
// COM72) at every rate (57600, 38400, 9600, 4800) chooses: the first plug-in
// that recognises any port, on the first port and rate it recognises. Ports
// are read side by side, one rate after the other, and a port leaves the
// scan
//   - when it cannot be opened or is silent at the first rate: it has no
//     receiver to be found at the others;
//   - when a plug-in recognised it: a receiver talks at one rate, and which
//     sentences it sends does not depend on the rate the port is set to;
// and the scan ends when no port left could change the choice.
#pragma once

#include "gps/byte_source.hpp"
#include "gps/detection_sample.hpp"
#include "gps/gpsd_source.hpp"
#include "gps/search_report.hpp"
#include "plugin-api/plugin_api.hpp"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

namespace tevo {

class cReceiverSearch {
public:
    // The baud rates detection tries, in this order.
    static constexpr std::array<int32_t, 4> kDetectRates = {57600, 38400, 9600, 4800};
    static constexpr int32_t kFirstPort = 1;
    // COM65 to COM72 are Bluetooth serial links (platform/serial_device.hpp).
    static constexpr int32_t kLastPort = 72;

    // What a search found: the plug-in (an index into the receivers) that
    // recognised the source, and the source, open, with the bytes after the
    // plug-in's sample waiting.
    struct Found {
        int32_t plugin = -1;
        std::unique_ptr<cByteSource> source;
        int32_t portNumber = 0; // 0 for gpsd
        int32_t baudRate = 0;
        explicit operator bool() const { return plugin >= 0; }
    };

    // `receivers` are the receiver plug-ins in load order; `batch` bounds
    // what a plug-in may ask for. Console lines go to standard output.
    cReceiverSearch(const PluginApi* receivers, int32_t count, int32_t batch, uint32_t settleMs);

    Found tryGpsd(const GpsdPlace& place);
    Found tryPort(int32_t portNumber, int32_t baudRate);
    Found scanPorts();

    const SearchReport& report() const { return report_; }

private:
    // A candidate found by the scan, ordered as the plug-in-by-plug-in trial
    // would reach it.
    struct Choice {
        int32_t plugin = -1;
        int32_t portNumber = 0;
        std::size_t rate = 0; // index into kDetectRates
        std::unique_ptr<cByteSource> source;
        int32_t sampleLength = 0; // the bytes the plug-in judged
        bool before(int32_t p, int32_t port, std::size_t r) const;
    };

    // Reads the sources at a rate and writes " readed: N" for each.
    std::vector<DetectionSample> sample(const std::vector<cByteSource*>& sources, int32_t rate);
    // The first plug-in in load order that recognises the sample; -1 for none.
    int32_t judge(const DetectionSample& sample) const;
    // The source, found by plug-in `plugin`, with the sample it judged taken out.
    static Found take(int32_t plugin, int32_t sampleLength, std::unique_ptr<cByteSource> source,
                      int32_t portNumber, int32_t baudRate);
    // One round of the scan: the candidates at one rate; returns those to
    // read at the next rate.
    std::vector<int32_t> scanRound(const std::vector<int32_t>& candidates, std::size_t rate,
                                   Choice& best);
    // Opens the ports that can be opened; notes the others.
    std::vector<std::unique_ptr<cByteSource>> openPorts(const std::vector<int32_t>& ports,
                                                        int32_t rate, std::vector<int32_t>& opened);

    const PluginApi* receivers_;
    std::vector<int32_t> wanted_;
    uint32_t settleMs_;
    SearchReport report_;
};

} // namespace tevo
