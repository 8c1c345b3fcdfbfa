// Records fixes into <tracks folder>/<UTC date>.plt: thins them, marks the
// segments. A drive (one run of the host) stays in the file of its first
// fix's date; it goes on in the next day's file only when a fix follows the
// last one within kMidnightGap across midnight UTC, and in at most
// kMaxFilesPerDrive files, whatever dates the receiver sends. When the folder or the file cannot
// be written it says so once on standard error and tries again at most once
// a minute, never more often.
#pragma once

#include "plugin-api/plugin_api.hpp"
#include "plugins/trackrec/thinning.hpp"
#include "plugins/trackrec/track_file.hpp"
#include "plugins/trackrec/track_lines.hpp"

#include <chrono>
#include <optional>
#include <string>

namespace tevo::trackrec {

class TrackRecorder {
public:
    using Clock = std::chrono::steady_clock;
    static constexpr std::chrono::seconds kRetryAfter{60};
    static constexpr std::chrono::seconds kMidnightGap{3600};
    static constexpr int kMaxFilesPerDrive = 8;

    // `tracksFolder` ends in '/'; empty when the program folder is unknown.
    explicit TrackRecorder(std::string tracksFolder);

    // One fix from the host. Records without a fix or a sane position are
    // ignored.
    void add(const GpsData& record);

    // Tests move the clock that spaces the retries.
    void setNow(Clock::time_point now) { now_ = now; }

private:
    // True when a fix at `date`, `seconds` carries the drive over midnight.
    bool turnsToNextDay(const UtcDate& date, double seconds) const;
    // Opens the file of `date`; the drive's date stays when that fails.
    bool ensureFile(const UtcDate& date);
    void fail(const std::string& what);
    Clock::time_point now() const { return now_ ? *now_ : Clock::now(); }

    std::string folder_;
    TrackFile file_;
    std::optional<UtcDate> fileDate_;   // the date of the drive's file
    std::optional<double> lastSeconds_; // the last fix's time
    int filesOpened_ = 0;
    Thinning thinning_;
    bool reported_ = false;
    std::optional<Clock::time_point> retryAt_;
    std::optional<Clock::time_point> now_;
};

} // namespace tevo::trackrec
