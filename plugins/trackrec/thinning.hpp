// Which fixes become track points. A fix is kept when the vehicle has moved
// at least kMinMetres from the last kept point, or when kMaxSeconds have
// passed since it (so a standing vehicle still leaves a point now and then);
// never two in the same second. A fix more than kGapSeconds after the one
// before it begins a new segment, and so does a clock that went back.
#pragma once

#include <cstdint>
#include <optional>

namespace tevo::trackrec {

inline constexpr double kMinMetres = 5.0;
inline constexpr double kMaxSeconds = 10.0;
inline constexpr double kGapSeconds = 30.0;

struct Fix {
    double latitude;  // degrees
    double longitude; // degrees
    double seconds;   // UTC seconds since 1899-12-30
};

// Metres between two positions, measured as the program measures them
// (plugin-api/geodesy.hpp).
double metresBetween(const Fix& a, const Fix& b);

class Thinning {
public:
    enum class Decision { Skip, Keep, KeepAsNewSegment };

    // Judges the next fix and remembers it.
    Decision next(const Fix& fix);
    // The next fix begins a new segment and is kept (a new file begins).
    void restart() { lastKept_.reset(); }

private:
    std::optional<Fix> lastKept_;
    std::optional<Fix> lastSeen_;
};

} // namespace tevo::trackrec
