#include "gps/detection_sample.hpp"

#include "platform/clock.hpp"
#include "platform/quit_request.hpp"

#include <algorithm>

namespace tevo {

namespace {

// How often the sources' counts are looked at.
constexpr uint32_t kLookMs = 5;
// The periods of takeBytes: silent after two empty ones, settled after five.
constexpr uint32_t kEmptyPeriods = 2;
constexpr uint32_t kMaxPeriods = 5;

// One plug-in's sample of one source while it is being read.
struct Pending {
    cByteSource* source;
    std::vector<uint8_t>* bytes;
    int32_t wanted;
    uint32_t period;
    bool done = false;
};

// Takes the sample when it is complete, `elapsed` ms after the opening.
void look(Pending& p, uint32_t elapsed, uint32_t settleMs, bool ending) {
    const int32_t count = p.source->count();
    int32_t take = -1;
    if (count >= p.wanted) {
        take = p.wanted;
    } else if (p.source->knownSilent() || p.source->gone() || ending) {
        take = count;
    } else if (elapsed >= settleMs + kMaxPeriods * p.period) {
        take = count;
    } else if (elapsed >= settleMs + kEmptyPeriods * p.period && count == 0) {
        take = 0;
    }
    if (take < 0) return;
    p.bytes->resize(static_cast<std::size_t>(take));
    p.bytes->resize(static_cast<std::size_t>(p.source->copyBytes(take, p.bytes->data())));
    p.done = true;
}

} // namespace

bool DetectionSample::answered() const {
    return longest() > 0;
}

int32_t DetectionSample::longest() const {
    std::size_t most = 0;
    for (const std::vector<uint8_t>& b : bytes) most = std::max(most, b.size());
    return static_cast<int32_t>(most);
}

std::vector<DetectionSample> collectSamples(const std::vector<cByteSource*>& sources,
                                            const std::vector<int32_t>& wanted, int32_t rate,
                                            uint32_t settleMs) {
    std::vector<DetectionSample> samples(sources.size());
    std::vector<Pending> pending;
    for (std::size_t s = 0; s < sources.size(); ++s) {
        samples[s].bytes.resize(wanted.size());
        for (std::size_t p = 0; p < wanted.size(); ++p) {
            const int32_t w = std::max(wanted[p], 0);
            pending.push_back(
                {sources[s], &samples[s].bytes[p], w, cByteSource::periodMs(w, rate)});
        }
    }
    const uint32_t start = ticks();
    for (bool ending = false;;) {
        const uint32_t elapsed = ticks() - start;
        bool all = true;
        for (Pending& p : pending) {
            if (!p.done) look(p, elapsed, settleMs, ending);
            all = all && p.done;
        }
        if (all) break;
        ending = sleepUnlessQuit(kLookMs);
    }
    return samples;
}

} // namespace tevo
