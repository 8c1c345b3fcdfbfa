// The memory bound of a run (--memory) and the shares of it that the stores
// of the run take: the node locations, the sort of the cell records, the
// encoded blocks, and whatever else is compiled in the same run.
#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tevo::tvmc {

inline constexpr uint64_t kMiB = uint64_t{1} << 20;
// The smallest bound: below it the stores would work in slices too small to
// be worth a file of their own.
inline constexpr uint64_t kMinMemoryBound = 1 * kMiB;

// "4G", "512M", "300k" or a number of bytes; nothing on a malformed or
// zero size.
std::optional<uint64_t> parseMemorySize(std::string_view text);

// The bound when none is given: a quarter of the machine's memory, at least
// 256 MiB and at most 2 GiB, which keeps a country-sized run under 4 GB.
uint64_t defaultMemoryBound();

// Resident memory of the process now and at its peak (bytes; 0 when the
// system does not tell).
uint64_t residentBytes();
uint64_t peakResidentBytes();

class MemoryBudget {
public:
    explicit MemoryBudget(uint64_t bound) : bound_(bound) {}
    uint64_t bound() const { return bound_; }

    // What each store may hold in memory before it moves to its scratch
    // file. The node locations and the cell sort live at the same time
    // (while the ways are read); the encoded blocks come after both.
    uint64_t locationShare() const { return bound_ / 2; }
    uint64_t sortShare() const;
    uint64_t blockShare() const;
    // A share for an output compiled beside the map (a road graph, a name
    // index): they divide the quarter that the map's own stores leave.
    uint64_t outputShare(unsigned outputs) const { return bound_ / 4 / (outputs ? outputs : 1); }
    // What the node locations leave of their share once they are all in,
    // lent to the outputs beside the map for the rest of the run: at most a
    // quarter of the bound, what the map's stores leave in the cell pass,
    // when the locations are gone and the sort and the blocks hold theirs.
    uint64_t spareAfterLocations(uint64_t locations) const {
        return locations >= locationShare() ? 0 : std::min(locationShare() - locations, bound_ / 4);
    }
    // The road graph is built after the map, from its collection unpacked,
    // with the whole bound back; building takes two and a half to three
    // times what the unpacked collection holds (with the process's
    // baseline), which may take a third of the bound.
    uint64_t graphBuildShare() const { return bound_ / 3; }
    // The shortcuts the graph's contraction makes wait in memory up to this
    // (16 MiB at the default bound), in a scratch file beyond it.
    uint64_t shortcutShare() const { return bound_ / 128; }

    // Whether the process holds more than the bound now.
    bool over() const { return residentBytes() > bound_; }

private:
    uint64_t bound_;
};

// The share of an output compiled beside the map (its collection while the
// input is read), weighed every so many objects. Once outgrown, the output
// lets go of what it holds and the run ends after the read with a message.
// The objects of the second pass (ways and areas) also tell how far the read
// had come when the output let go, so that the message can name a bound
// that would have done.
class OutputShare {
public:
    // `bytes`: 0 for no bound; `bound` the run's bound, of which `bytes` is
    // the share; `output` names the output in the message, `leaveOut` the
    // option that leaves it out, `which` the share.
    OutputShare(uint64_t bytes, uint64_t bound, std::string output, std::string leaveOut,
                std::string which = "a quarter of --memory, shared by the outputs beside the map, "
                                    "and what the node locations leave of theirs")
        : bytes_(bytes), bound_(bound), output_(std::move(output)), leaveOut_(std::move(leaveOut)),
          which_(std::move(which)) {}

    bool outgrown() const { return outgrown_; }
    // More room, lent by the node locations, `locations` bytes in memory
    // (nothing changes without a bound).
    void widen(uint64_t bytes, uint64_t locations) {
        if (bytes_ == 0) return;
        bytes_ += bytes;
        lent_ += bytes;
        locations_ = locations;
    }
    // Counts an object and now and then weighs `held()` against the share.
    // True only when the share is first found outgrown.
    template <typename Held> bool count(Held held, bool secondPass) {
        if (secondPass && ++secondSeen_ == 1 && !outgrown_) heldFirst_ = held();
        if (bytes_ == 0 || outgrown_ || ++sinceLook_ < kLookEvery) return false;
        sinceLook_ = 0;
        const uint64_t now = held();
        if (now > bytes_) letGo(now);
        return outgrown_ = now > bytes_;
    }
    // Notes what the output held when it let go (for another share).
    void letGo(uint64_t held);
    // The bound under which what the output would have held at the end of
    // the read fits this share, from what it held when it let go and how
    // far the second pass had come; 0 when it let go in the first pass.
    uint64_t boundNeeded() const;
    // At the end of the read: false, with the message, when outgrown. The
    // message names `need` (0: boundNeeded()) as the bound to try.
    bool finish(uint64_t held, std::string* error, uint64_t need = 0);

private:
    // At most a few hundred kilobytes of records come between two looks.
    static constexpr uint32_t kLookEvery = 1024;
    uint64_t bytes_, bound_, lent_ = 0, locations_ = 0;
    std::string output_, leaveOut_, which_;
    uint32_t sinceLook_ = 0;
    bool outgrown_ = false;
    // Objects of the second pass seen, and what the output held at its
    // start and when it let go.
    uint64_t secondSeen_ = 0, heldFirst_ = 0, heldThen_ = 0, secondSeenThen_ = 0;
};

// A memory size as --memory takes it, rounded up: "6M", "704M", "1280M", "5G".
std::string memoryOption(uint64_t bytes);

} // namespace tevo::tvmc
