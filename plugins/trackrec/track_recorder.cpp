#include "plugins/trackrec/track_recorder.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>

namespace tevo::trackrec {

namespace {

bool sameDate(const UtcDate& a, const UtcDate& b) {
    return a.year == b.year && a.month == b.month && a.day == b.day;
}

int64_t dayNumber(const UtcDate& date) {
    return static_cast<int64_t>(secondsSinceEpoch(UtcTime{date, 0, 0, 0}) / kSecondsPerDay);
}

bool sanePosition(const GpsData& r) {
    return std::isfinite(r.latitude) && std::isfinite(r.longitude) && std::fabs(r.latitude) <= 90 &&
           std::fabs(r.longitude) <= 180;
}

} // namespace

TrackRecorder::TrackRecorder(std::string tracksFolder) : folder_(std::move(tracksFolder)) {}

void TrackRecorder::add(const GpsData& record) {
    if (record.fix == FixNone || !sanePosition(record)) return;
    UtcTime time = timeOfFix(record).value_or(systemTime());
    double seconds = secondsSinceEpoch(time);
    const bool turnsDay = turnsToNextDay(time.date, seconds);
    lastSeconds_ = seconds;
    if (retryAt_ && now() < *retryAt_) return;
    // The drive goes on in its file; only midnight begins the next day's.
    if (turnsDay || !fileDate_ || !file_.isOpen()) {
        if (!ensureFile(turnsDay || !fileDate_ ? time.date : *fileDate_)) return;
        thinning_.restart();
    }
    Thinning::Decision decision = thinning_.next({record.latitude, record.longitude, seconds});
    if (decision == Thinning::Decision::Skip) return;
    GpsData point = record;
    if (!std::isfinite(point.altitude)) point.altitude = 0;
    bool newSegment = decision == Thinning::Decision::KeepAsNewSegment;
    if (!file_.append(pointLine(point, seconds, newSegment))) {
        fail(file_.path());
        file_.close();
        // The next point after the retry begins a segment of its own.
        thinning_.restart();
    }
}

bool TrackRecorder::turnsToNextDay(const UtcDate& date, double seconds) const {
    // A receiver whose date jumps (a wrong date in every sentence, dates that
    // go backwards) must not spread one drive over a file per fix.
    if (!fileDate_ || !lastSeconds_ || filesOpened_ >= kMaxFilesPerDrive) return false;
    const double gap = seconds - *lastSeconds_;
    return dayNumber(date) == dayNumber(*fileDate_) + 1 && gap > 0 && gap <= kMidnightGap.count();
}

bool TrackRecorder::ensureFile(const UtcDate& date) {
    file_.close();
    if (folder_.empty()) {
        errno = ENOENT;
        fail("the Tracks folder (unknown program folder)");
        return false;
    }
    if (::mkdir(folder_.c_str(), 0755) != 0 && errno != EEXIST) {
        fail(folder_);
        return false;
    }
    std::string path = folder_ + fileNameOf(date);
    if (!file_.open(path, headerLines(date))) {
        fail(path);
        return false;
    }
    if (!fileDate_ || !sameDate(*fileDate_, date)) ++filesOpened_;
    fileDate_ = date;
    retryAt_.reset();
    return true;
}

void TrackRecorder::fail(const std::string& what) {
    int error = errno;
    retryAt_ = now() + kRetryAfter;
    if (reported_) return;
    reported_ = true;
    std::fprintf(stderr, "trackrec: cannot record the track in %s: %s\n", what.c_str(),
                 std::strerror(error));
    std::fflush(stderr);
}

} // namespace tevo::trackrec
