#include "gps/position.hpp"

#include "platform/clock.hpp"
#include "platform/text.hpp"

#include <algorithm>
#include <cstdio>

namespace tevo {

namespace {

constexpr uint32_t kPollMs = 1;
constexpr uint32_t kShortBacklogMs = 10;

} // namespace

cPosition::cPosition() : batch(std::make_unique<std::array<uint8_t, kBatchSize>>()) {}

cPosition::~cPosition() {
    // The worker leaves run (never inside the plug-in or takeBytes) before
    // the source and the batch go.
    halt();
    source.reset();
    batch.reset();
}

void cPosition::start() {
    sourceName_ = source ? source->name() : std::u16string();
    link_ = ReceiverLink::Open;
    stop = false;
    resume();
}

ReceiverStatus cPosition::status() const {
    ReceiverStatus status;
    status.link = link_;
    if (running()) status.source = sourceName_;
    status.fixSeen = fixSeen_;
    status.lastFixTick = lastFixTick_;
    return status;
}

void cPosition::setSearching(bool searching) {
    link_ = searching ? ReceiverLink::Searching : ReceiverLink::None;
}

void cPosition::noteRecord(const GpsData& record, uint32_t now) {
    if (record.fix == FixNone) return;
    fixSeen_ = true;
    lastFixTick_ = now;
}

bool cPosition::running() const {
    const ReceiverLink link = link_;
    return link != ReceiverLink::None && link != ReceiverLink::Searching;
}

void cPosition::setLink(ReceiverLink link) {
    const ReceiverLink was = link_.exchange(link);
    if (was == link) return;
    const char16_t* line = nullptr;
    if (link == ReceiverLink::Lost) line = u"GPS lost: %s\n";
    if (link == ReceiverLink::Reopening) line = u"GPS reopened: %s\n";
    if (link == ReceiverLink::Open) line = u"GPS back: %s\n";
    if (line == nullptr) return;
    printWide(stdout, formatWide(line, sourceName_));
    std::fflush(stdout);
}

bool cPosition::watchSource() {
    if (!source) return false;
    const uint32_t now = ticks();
    if (source->gone()) {
        // What came before it went is still the receiver's.
        if (source->count() > 0) return true;
        loseLink(ReceiverLink::Lost);
        if (now - lastReopen_ < ReceiverStatus::kReopenMs) return false;
        lastReopen_ = now;
        if (source->reopen()) loseLink(ReceiverLink::Reopening);
        return false;
    }
    // Bytes again after the source was lost or opened again. They count
    // by their arrival: the pass before this one may already have taken
    // them to the plug-in.
    const uint32_t arrivals = source->arrivals();
    const bool fresh = now - source->lastArrival() < ReceiverStatus::kSilentMs;
    const ReceiverLink link = link_;
    if (link != ReceiverLink::Open && fresh && arrivals != arrivalsAtLoss_)
        setLink(ReceiverLink::Open);
    if (link == ReceiverLink::Open && !fresh) loseLink(ReceiverLink::Lost);
    return true;
}

void cPosition::loseLink(ReceiverLink link) {
    arrivalsAtLoss_ = source->arrivals();
    setLink(link);
}

void cPosition::push(int32_t n) {
    // A backlog larger than the batch goes in several pushes.
    n = std::min(n, kBatchSize);
    int32_t taken = source->takeBytes(n, batch->data());
    if (taken != 0 && api.PluginPushData != nullptr) api.PluginPushData(batch->data(), taken);
}

int cPosition::run() {
    while (!stop) {
        // Wait for a batch worth pushing.
        sleepMs(kPollMs);
        if (!watchSource()) {
            sleepMs(kShortBacklogMs);
            continue;
        }
        int32_t n = source->count();
        // A source that went away hands over its last bytes, however few.
        if (n < kMinimumBatch && !(source->gone() && n > 0)) {
            sleepMs(kShortBacklogMs);
            continue;
        }
        push(n);
    }
    return 0;
}

} // namespace tevo
