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

bool sanePosition(const GpsData& r) {
    return std::isfinite(r.latitude) && std::isfinite(r.longitude) && std::fabs(r.latitude) <= 90 &&
           std::fabs(r.longitude) <= 180;
}

} // namespace

TrackRecorder::TrackRecorder(std::string tracksFolder) : folder_(std::move(tracksFolder)) {}

void TrackRecorder::add(const GpsData& record) {
    if (record.fix == FixNone || !sanePosition(record)) return;
    if (retryAt_ && now() < *retryAt_) return;
    UtcTime time = timeOfFix(record).value_or(systemTime());
    double seconds = secondsSinceEpoch(time);
    bool newFile = !fileDate_ || !sameDate(*fileDate_, time.date) || !file_.isOpen();
    if (newFile) {
        if (!ensureFile(time.date)) return;
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

bool TrackRecorder::ensureFile(const UtcDate& date) {
    file_.close();
    fileDate_.reset();
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
