// Records fixes into <tracks folder>/<UTC date>.plt: thins them, marks the
// segments, changes files at midnight UTC. When the folder or the file cannot
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

    // `tracksFolder` ends in '/'; empty when the program folder is unknown.
    explicit TrackRecorder(std::string tracksFolder);

    // One fix from the host. Records without a fix or a sane position are
    // ignored.
    void add(const GpsData& record);

    // Tests move the clock that spaces the retries.
    void setNow(Clock::time_point now) { now_ = now; }

private:
    bool ensureFile(const UtcDate& date);
    void fail(const std::string& what);
    Clock::time_point now() const { return now_ ? *now_ : Clock::now(); }

    std::string folder_;
    TrackFile file_;
    std::optional<UtcDate> fileDate_;
    Thinning thinning_;
    bool reported_ = false;
    std::optional<Clock::time_point> retryAt_;
    std::optional<Clock::time_point> now_;
};

} // namespace tevo::trackrec
