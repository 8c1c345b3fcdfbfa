#include "map/track_log.hpp"

#include <cmath>
#include <cstdlib>
#include <numbers>

namespace tevo {

namespace {

constexpr int32_t kUnitsPerCircle = 1 << 26;
constexpr double kDegreesPerCircle = 360.0;
// Consecutive points further apart than half the map in x take the shorter
// way round, across the 0/360 degree line.
constexpr int32_t kHalfCircle = kUnitsPerCircle / 2;
constexpr double kEquatorM = 40000000.0;
const std::u16string kTrackName = u"Track";

std::unique_ptr<cPolyLine> newTrack(std::size_t room) {
    auto track = std::make_unique<cPolyLine>();
    track->name = kTrackName;
    track->mark = -1;
    track->type = -1;
    track->points.reserve(room);
    return track;
}

// Appends a point unless it equals the last one: points that round to the
// same map units merge into one.
void keep(cPolyLine& track, MapPoint p) {
    if (!track.points.empty() && track.points.back() == p) return;
    track.points.push_back(p);
}

// The latitude in map units where the way from a to b (b.x already moved by a
// whole circle next to a) meets the line x = edge.
int32_t crossingY(MapPoint a, int64_t bx, int32_t by, int64_t edge) {
    const double t = static_cast<double>(edge - a.x) / static_cast<double>(bx - a.x);
    return static_cast<int32_t>(a.y + t * (by - a.y));
}

void setBounds(cPolyLine& track) {
    if (track.points.empty()) return;
    track.minX = track.maxX = track.points[0].x;
    track.minY = track.maxY = track.points[0].y;
    for (const MapPoint& p : track.points) {
        track.minX = std::min(track.minX, p.x);
        track.maxX = std::max(track.maxX, p.x);
        track.minY = std::min(track.minY, p.y);
        track.maxY = std::max(track.maxY, p.y);
    }
}

// Distance of p from the line through a and b, in map units; negative when a
// and b coincide (the far end of an out-and-back, which stays).
float offLine(MapPoint a, MapPoint p, MapPoint b) {
    // 64-bit products: 32 bits overflow for points about 0.25 degree apart.
    const int64_t dx = int64_t{b.x} - a.x, dy = int64_t{b.y} - a.y;
    const int64_t cross = (int64_t{p.x} - a.x) * dy - (int64_t{p.y} - a.y) * dx;
    const float length = std::sqrt(static_cast<float>(dx * dx + dy * dy));
    if (length == 0) return -1;
    return static_cast<float>(std::llabs(cross)) / length;
}

} // namespace

MapPoint trackMapPoint(float longitude, float latitude) {
    double east = longitude;
    if (east < 0) east += kDegreesPerCircle; // west of Greenwich: 180..360, as in the map
    if (east >= kDegreesPerCircle) east -= kDegreesPerCircle;
    return {static_cast<int32_t>(east / kDegreesPerCircle * kUnitsPerCircle),
            static_cast<int32_t>(latitude / kDegreesPerCircle * kUnitsPerCircle)};
}

std::vector<std::unique_ptr<cPolyLine>> buildTrackObjects(const TrackLog& log) {
    std::vector<std::unique_ptr<cPolyLine>> pieces;
    pieces.push_back(newTrack(log.points.size()));
    for (const GpsData& point : log.points) {
        const MapPoint p = trackMapPoint(point.longitude, point.latitude);
        cPolyLine& current = *pieces.back();
        if (!current.points.empty() && std::abs(p.x - current.points.back().x) > kHalfCircle) {
            // Across the 0/360 degree line: end this piece on the line, start
            // the next one on the other side at the same latitude.
            const MapPoint last = current.points.back();
            const bool east = p.x < last.x;
            const int32_t end = east ? kUnitsPerCircle : 0;
            const int64_t bx = int64_t{p.x} + (east ? kUnitsPerCircle : -kUnitsPerCircle);
            const int32_t y = crossingY(last, bx, p.y, end);
            keep(current, {end, y});
            pieces.push_back(newTrack(0));
            keep(*pieces.back(), {kUnitsPerCircle - end, y});
        }
        keep(*pieces.back(), p);
    }
    for (auto& piece : pieces) {
        setBounds(*piece);
        thinTrack(*piece);
    }
    return pieces;
}

void thinTrack(cPolyLine& track) {
    std::vector<MapPoint>& points = track.points;
    if (points.size() < 3) return;
    // Metres of one map unit east-west at the track's start.
    const double latitude = points[0].y * kDegreesPerCircle / kUnitsPerCircle;
    const float unitM = static_cast<float>(std::cos(latitude * std::numbers::pi / 180.0) *
                                           kEquatorM / kUnitsPerCircle);
    // Each point is tested against the last point kept and its successor, so a
    // run of points on one line shrinks to its two ends. Kept points move to
    // the front in place.
    std::size_t kept = 1;
    for (std::size_t j = 1; j + 1 < points.size(); ++j) {
        const float d = offLine(points[kept - 1], points[j], points[j + 1]);
        if (d >= 0 && d * unitM < unitM) continue;
        points[kept++] = points[j];
    }
    points[kept++] = points.back();
    points.resize(kept);
}

} // namespace tevo
