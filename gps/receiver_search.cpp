#include "gps/receiver_search.hpp"

#include "gps/serial_port.hpp"
#include "platform/quit_request.hpp"
#include "platform/serial_device.hpp"
#include "platform/text.hpp"

#include <algorithm>
#include <cstdio>
#include <sys/stat.h>

namespace tevo {

namespace {

void console(std::u16string_view text) {
    printWide(stdout, text);
    std::fflush(stdout);
}

bool exists(const std::string& path) {
    struct stat info {};
    return !path.empty() && stat(path.c_str(), &info) == 0;
}

std::string gpsdPlaceText(const GpsdPlace& place) {
    return place.host + ":" + std::to_string(place.port);
}

} // namespace

bool cReceiverSearch::Choice::before(int32_t p, int32_t port, std::size_t r) const {
    if (plugin < 0) return false;
    if (plugin != p) return plugin < p;
    if (portNumber != port) return portNumber < port;
    return rate < r;
}

cReceiverSearch::cReceiverSearch(const PluginApi* receivers, int32_t count, int32_t batch,
                                 uint32_t settleMs)
    : receivers_(receivers), settleMs_(settleMs) {
    // Each plug-in says once how much it judges; no more than a batch holds.
    for (int32_t i = 0; i < count; ++i)
        wanted_.push_back(std::clamp(receivers[i].PluginGetMinimumBytes(), 0, batch));
}

std::vector<DetectionSample> cReceiverSearch::sample(const std::vector<cByteSource*>& sources,
                                                     int32_t rate) {
    std::vector<DetectionSample> samples = collectSamples(sources, wanted_, rate, settleMs_);
    for (const DetectionSample& s : samples) console(formatWide(u" readed: %d\n", s.longest()));
    return samples;
}

int32_t cReceiverSearch::judge(const DetectionSample& sample) const {
    for (std::size_t p = 0; p < sample.bytes.size(); ++p) {
        const std::vector<uint8_t>& bytes = sample.bytes[p];
        if (bytes.empty()) continue;
        if (receivers_[p].PluginDetectReceiver(bytes.data(), static_cast<uint32_t>(bytes.size())))
            return static_cast<int32_t>(p);
    }
    return -1;
}

cReceiverSearch::Found cReceiverSearch::take(int32_t plugin, int32_t sampleLength,
                                             std::unique_ptr<cByteSource> source,
                                             int32_t portNumber, int32_t baudRate) {
    // The judged bytes are the detection's, as a sample taken with takeBytes is.
    std::vector<uint8_t> judged(static_cast<std::size_t>(sampleLength));
    source->takeBytes(sampleLength, judged.data());
    return Found{plugin, std::move(source), portNumber, baudRate};
}

cReceiverSearch::Found cReceiverSearch::tryGpsd(const GpsdPlace& place) {
    const std::string where = gpsdPlaceText(place);
    if (!place.enabled) {
        report_.noteGpsd(where, SearchReport::Outcome::Off);
        return {};
    }
    auto gpsd = std::make_unique<cGpsdSource>(place);
    if (!gpsd->open()) {
        report_.noteGpsd(where, SearchReport::Outcome::NoAnswer);
        return {};
    }
    const DetectionSample s = sample({gpsd.get()}, cGpsdSource::kNominalRate).front();
    const int32_t plugin = judge(s);
    if (plugin >= 0) {
        const auto length = static_cast<int32_t>(s.bytes[plugin].size());
        return take(plugin, length, std::move(gpsd), 0, 0);
    }
    using Outcome = SearchReport::Outcome;
    report_.noteGpsd(where, gpsd->knownSilent() ? Outcome::NoReceiver
                            : s.answered()      ? Outcome::NotRecognised
                                                : Outcome::Silent);
    return {};
}

std::vector<std::unique_ptr<cByteSource>>
cReceiverSearch::openPorts(const std::vector<int32_t>& ports, int32_t rate,
                           std::vector<int32_t>& opened) {
    std::vector<std::unique_ptr<cByteSource>> sources;
    for (int32_t port : ports) {
        auto serial = std::make_unique<cSerialPort>();
        if (serial->open(port, rate)) {
            sources.push_back(std::move(serial));
            opened.push_back(port);
            continue;
        }
        const std::string device = serialDevicePath(port);
        report_.notePort(port, device, rate,
                         exists(device) ? SearchReport::Outcome::Busy
                                        : SearchReport::Outcome::NoDevice);
    }
    return sources;
}

cReceiverSearch::Found cReceiverSearch::tryPort(int32_t portNumber, int32_t baudRate) {
    std::vector<int32_t> opened;
    std::vector<std::unique_ptr<cByteSource>> port = openPorts({portNumber}, baudRate, opened);
    if (port.empty()) return {};
    const DetectionSample s = sample({port.front().get()}, baudRate).front();
    const int32_t plugin = judge(s);
    if (plugin >= 0) {
        const auto length = static_cast<int32_t>(s.bytes[plugin].size());
        return take(plugin, length, std::move(port.front()), portNumber, baudRate);
    }
    report_.notePort(portNumber, serialDevicePath(portNumber), baudRate,
                     s.answered() ? SearchReport::Outcome::NotRecognised
                                  : SearchReport::Outcome::Silent);
    return {};
}

std::vector<int32_t> cReceiverSearch::scanRound(const std::vector<int32_t>& candidates,
                                                std::size_t rate, Choice& best) {
    const int32_t baudRate = kDetectRates[rate];
    std::vector<int32_t> ports;
    std::vector<std::unique_ptr<cByteSource>> sources = openPorts(candidates, baudRate, ports);
    std::vector<cByteSource*> reading;
    for (const auto& source : sources) reading.push_back(source.get());
    const std::vector<DetectionSample> samples = sample(reading, baudRate);
    std::vector<int32_t> next;
    for (std::size_t i = 0; i < ports.size(); ++i) {
        const int32_t plugin = judge(samples[i]);
        const bool answered = samples[i].answered();
        if (plugin < 0) {
            report_.notePort(ports[i], serialDevicePath(ports[i]), baudRate,
                             answered ? SearchReport::Outcome::NotRecognised
                                      : SearchReport::Outcome::Silent);
            // Silent at the first rate: nothing to find at the others.
            if (answered || rate > 0) next.push_back(ports[i]);
            continue;
        }
        if (!best.before(plugin, ports[i], rate)) {
            const auto length = static_cast<int32_t>(samples[i].bytes[plugin].size());
            best = Choice{plugin, ports[i], rate, std::move(sources[i]), length};
        }
    }
    return next;
}

cReceiverSearch::Found cReceiverSearch::scanPorts() {
    std::vector<int32_t> candidates;
    for (int32_t port = kFirstPort; port <= kLastPort; ++port) candidates.push_back(port);
    Choice best;
    for (std::size_t rate = 0; rate < kDetectRates.size() && !candidates.empty(); ++rate) {
        if (quitRequested()) return {};
        candidates = scanRound(candidates, rate, best);
        // Only a port below the choice could still change it, and only when
        // the first plug-in made it; any other choice waits for the first
        // plug-in's verdict on every port left.
        const bool settled =
            best.plugin == 0 && std::all_of(candidates.begin(), candidates.end(),
                                            [&](int32_t port) { return port > best.portNumber; });
        if (settled) break;
    }
    if (best.plugin < 0) return {};
    return take(best.plugin, best.sampleLength, std::move(best.source), best.portNumber,
                kDetectRates[best.rate]);
}

} // namespace tevo
