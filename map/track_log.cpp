#include "map/track_log.hpp"

#include "platform/regular_file.hpp"
#include "plugin-api/geodesy.hpp"

#include <cfloat>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <memory>

namespace tevo {

namespace {

// Points closer in time than this (under 9 ms) get no speed and no fix.
constexpr double kMinTimeStepDays = 0.0000001;
constexpr float kDaysPerSecond = 0.000011574074f;
constexpr float kKmhPerMetrePerSecond = 3.6f;
constexpr int kPointFields = 5;
constexpr double kMaxLatitude = 90.0;
constexpr double kMaxLongitude = 360.0;
constexpr std::size_t kMaxNumberLength = 64;
constexpr std::size_t kReadChunk = 1 << 16;
// No point's line comes near this; a longer one is junk.
constexpr std::size_t kMaxLineLength = 4096;

bool isBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

// A field's text as a number. `whole` tells whether the text is one number and
// nothing else but blanks. Values a float cannot hold count as 0, and so does
// text too long to be a number of a track: converting megabytes of digits
// would only cost time.
double convertField(std::string_view text, bool& whole) {
    whole = false;
    while (!text.empty() && isBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && isBlank(text.back())) text.remove_suffix(1);
    if (text.empty() || text.size() > kMaxNumberLength) return 0;
    char number[kMaxNumberLength + 1];
    text.copy(number, text.size());
    number[text.size()] = '\0'; // strtod needs the terminator
    char* end = nullptr;
    const double value = std::strtod(number, &end);
    if (!std::isfinite(value) || std::fabs(value) > FLT_MAX) return 0;
    whole = end == number + text.size();
    return value;
}

// Takes the next field from the front of `rest`: before a comma the text up to
// it (removed with the comma); a leading comma gives an empty field and removes
// nothing, so the later fields are empty too; without a comma the whole rest,
// which stays, so the later fields repeat it.
double takeField(std::string_view& rest, bool& whole) {
    if (!rest.empty() && rest.front() == ',') {
        whole = false;
        return 0;
    }
    const std::size_t comma = rest.find(',');
    if (comma == std::string_view::npos) return convertField(rest, whole);
    const double value = convertField(rest.substr(0, comma), whole);
    rest.remove_prefix(comma + 1);
    return value;
}

// Speed and fix of a new point measured from the log's previous point; moves
// the previous point on unless the time did not advance.
void measureSpeed(GpsData& point, double time, TrackLog& log) {
    point.speed = 0;
    if (log.previousTime != 0) {
        const double d = time - log.previousTime;
        if (d < kMinTimeStepDays) {
            point.fix = FixNone;
            return;
        }
        const double metres = geo::distanceMetres(log.previousLongitude, log.previousLatitude,
                                                  point.longitude, point.latitude);
        const double seconds = d / kDaysPerSecond;
        const float speed = static_cast<float>(metres / seconds * kKmhPerMetrePerSecond);
        point.speed = speed > 0 ? speed : 0;
    }
    log.previousLongitude = point.longitude;
    log.previousLatitude = point.latitude;
    log.previousTime = time;
    point.fix = FixUnknown;
}

} // namespace

void readTrackLine(std::string_view line, TrackLog& log) {
    if (line.empty()) return;
    // Latitude, longitude, unused, altitude, time in days.
    double field[kPointFields] = {};
    bool whole[kPointFields] = {};
    std::string_view rest = line;
    for (int i = 0; i < kPointFields; ++i) field[i] = takeField(rest, whole[i]);
    const double latitude = field[0], longitude = field[1];
    // Junk and lines without a position would otherwise become points at 0, 0.
    if (!whole[0] || !whole[1]) return;
    if (std::fabs(latitude) > kMaxLatitude || std::fabs(longitude) > kMaxLongitude) return;
    GpsData point{};
    point.latitude = static_cast<float>(latitude);
    point.longitude = static_cast<float>(longitude);
    point.altitude = static_cast<float>(field[3]);
    measureSpeed(point, field[4], log);
    log.points.push_back(point);
}

namespace {

// Cuts the chunks that `read` hands out (0 at the end) into lines. Whole
// lines of any length: a long line is neither cut into two points nor able
// to stall the reading; a line longer than any point's is skipped without
// being kept, so that one endless line costs no memory. The header lines are
// counted, not kept.
template <typename Read> void readLines(Read read, TrackLog& log) {
    std::vector<char> chunk(kReadChunk);
    std::string line;
    bool tooLong = false;
    int headerLines = kTrackHeaderLines;
    auto append = [&](std::string_view piece) {
        tooLong = tooLong || line.size() + piece.size() > kMaxLineLength;
        if (tooLong)
            line.clear();
        else
            line.append(piece);
    };
    auto endLine = [&] {
        if (headerLines > 0)
            --headerLines;
        else if (!tooLong)
            readTrackLine(line, log);
        line.clear();
        tooLong = false;
    };
    bool pending = false; // a last line without its LF
    while (const std::size_t n = read(chunk.data(), chunk.size())) {
        const std::string_view got(chunk.data(), n);
        std::size_t from = 0;
        for (std::size_t lf; (lf = got.find('\n', from)) != std::string_view::npos; from = lf + 1) {
            append(got.substr(from, lf - from));
            endLine();
        }
        append(got.substr(from));
        pending = from < got.size();
    }
    if (pending) endLine();
}

} // namespace

void readTrackLines(std::istream& in, TrackLog& log) {
    readLines(
        [&in](char* to, std::size_t n) {
            in.read(to, static_cast<std::streamsize>(n));
            return static_cast<std::size_t>(in.gcount());
        },
        log);
}

bool readTrack(const std::string& path, TrackLog& log) {
    // A folder or a device is no track file, and a pipe would block the reading.
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(openRegularStream(path),
                                                               std::fclose);
    if (!file) return false;
    log.loaded = true;
    readLines([&file](char* to, std::size_t n) { return std::fread(to, 1, n, file.get()); }, log);
    return true;
}

GpsData nextReplayPoint(TrackLog& log) {
    if (log.points.empty()) return GpsData{};
    if (log.readPosition >= log.points.size()) log.readPosition = 0;
    const GpsData point = log.points[log.readPosition];
    log.readPosition = (log.readPosition + 1) % static_cast<uint32_t>(log.points.size());
    return point;
}

bool nextPoint(TrackLog& log, GpsData& point) {
    if (log.readPosition >= log.points.size()) return false;
    point = log.points[log.readPosition++];
    return true;
}

} // namespace tevo
