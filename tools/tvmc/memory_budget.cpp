#include "tools/tvmc/memory_budget.hpp"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tevo::tvmc {

namespace {

// The sort of cell records gains little from more memory: past this size a
// run only saves a few files of the merge. Encoded blocks are only held
// until the file is written; from this size on they wait on disk.
constexpr uint64_t kMaxSortShare = 256 * kMiB;
constexpr uint64_t kMaxBlockShare = 256 * kMiB;
// The largest bound a message names (a petabyte: the search's end).
constexpr uint64_t kMostNamed = uint64_t{1} << 50;

// A "Name:  1234 kB" line of /proc/self/status, in bytes.
uint64_t statusBytes(const char* name) {
    std::FILE* f = std::fopen("/proc/self/status", "r");
    if (!f) return 0;
    char line[256];
    uint64_t value = 0;
    const std::size_t length = std::strlen(name);
    while (std::fgets(line, sizeof line, f)) {
        unsigned long long kb = 0;
        if (std::strncmp(line, name, length) == 0 &&
            std::sscanf(line + length, ": %llu", &kb) == 1) {
            value = kb * 1024;
            break;
        }
    }
    std::fclose(f);
    return value;
}

} // namespace

std::optional<uint64_t> parseMemorySize(std::string_view text) {
    uint64_t value = 0;
    std::size_t i = 0;
    for (; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i) {
        if (value > (UINT64_MAX - 9) / 10) return std::nullopt;
        value = value * 10 + static_cast<uint64_t>(text[i] - '0');
    }
    if (i == 0) return std::nullopt;
    int shift = 0;
    if (i < text.size()) {
        switch (std::toupper(static_cast<unsigned char>(text[i]))) {
        case 'K':
            shift = 10;
            break;
        case 'M':
            shift = 20;
            break;
        case 'G':
            shift = 30;
            break;
        case 'T':
            shift = 40;
            break;
        default:
            return std::nullopt;
        }
        ++i;
        if (i < text.size() && (text[i] == 'B' || text[i] == 'b')) ++i;
    }
    if (i != text.size() || value == 0 || value > (UINT64_MAX >> shift)) return std::nullopt;
    return value << shift;
}

uint64_t defaultMemoryBound() {
    const long pages = ::sysconf(_SC_PHYS_PAGES), pageSize = ::sysconf(_SC_PAGESIZE);
    const uint64_t physical = pages > 0 && pageSize > 0
                                  ? static_cast<uint64_t>(pages) * static_cast<uint64_t>(pageSize)
                                  : 0;
    return std::clamp(physical / 4, 256 * kMiB, 2048 * kMiB);
}

uint64_t residentBytes() {
    std::FILE* f = std::fopen("/proc/self/statm", "r");
    if (!f) return 0;
    unsigned long long size = 0, resident = 0;
    const bool read = std::fscanf(f, "%llu %llu", &size, &resident) == 2;
    std::fclose(f);
    return read ? resident * static_cast<uint64_t>(::sysconf(_SC_PAGESIZE)) : 0;
}

uint64_t peakResidentBytes() {
    return statusBytes("VmHWM");
}

uint64_t MemoryBudget::sortShare() const {
    return std::min(bound_ / 4, kMaxSortShare);
}

uint64_t MemoryBudget::blockShare() const {
    return std::min(bound_ / 4, kMaxBlockShare);
}

void OutputShare::letGo(uint64_t held) {
    if (secondSeenThen_ != 0 || heldThen_ != 0) return;
    heldThen_ = held;
    secondSeenThen_ = secondSeen_;
}

uint64_t OutputShare::boundNeeded() const {
    if (secondSeenThen_ == 0 || bytes_ == 0) return 0;
    // 1. What it would have held: what it took on in the second pass grows
    // with the pass; an eighth more for the guess.
    const double grown = double(heldThen_ - std::min(heldFirst_, heldThen_));
    const double held =
        double(heldThen_) - grown + grown * double(secondSeen_) / double(secondSeenThen_);
    const double need = held * 1.125;
    // 2. The share at a bound b: its own part grows with b, and so does its
    // part of what node locations of the same size leave. Locations on disk
    // lent nothing here and are counted to lend nothing at b.
    const double own = double(bytes_ - lent_) / double(bound_);
    const double spare = double(MemoryBudget(bound_).spareAfterLocations(locations_));
    auto shareAt = [&](uint64_t b) {
        const double loan =
            lent_ == 0
                ? 0.0
                : double(lent_) / spare * double(MemoryBudget(b).spareAfterLocations(locations_));
        return own * double(b) + loan;
    };
    // 3. The least bound, in steps of a sixteenth.
    uint64_t b = bound_;
    while (shareAt(b) < need && b < kMostNamed) b += std::max(b / 16, kMiB);
    return b;
}

bool OutputShare::finish(uint64_t held, std::string* error, uint64_t need) {
    if (bytes_ != 0 && held > bytes_) outgrown_ = true;
    if (!outgrown_) return true;
    if (need == 0) need = boundNeeded();
    const std::string raise =
        need > bound_ ? "raise --memory (to about " + memoryOption(need) + " for this input)"
                      : "raise --memory";
    if (error)
        *error = output_ + " needs more than its " + std::to_string(bytes_ >> 20) +
                 " MB of the memory bound (" + which_ + "): " + raise + ", or leave it out with " +
                 leaveOut_;
    return false;
}

std::string memoryOption(uint64_t bytes) {
    constexpr uint64_t kGiB = 1024 * kMiB;
    const uint64_t step = bytes < 64 * kMiB ? kMiB : bytes < kGiB ? 64 * kMiB : 256 * kMiB;
    const uint64_t rounded = (bytes + step - 1) / step * step;
    return rounded % kGiB == 0 ? std::to_string(rounded / kGiB) + "G"
                               : std::to_string(rounded / kMiB) + "M";
}

} // namespace tevo::tvmc
