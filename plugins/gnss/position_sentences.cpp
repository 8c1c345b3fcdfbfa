// The sentences that carry the fix: RMC (position, time, date, speed), GNS
// (position and altitude for receivers that send no RMC), GGA (altitude) and
// VTG (speed).
#include "plugins/gnss/fields.hpp"
#include "plugins/gnss/handlers.hpp"

namespace tevo::gnss {

namespace {

constexpr double kKnotsToKmh = 1.852;
constexpr double kLatitudeLimit = 90.0;
constexpr double kLongitudeLimit = 180.0;
// GGA fix qualities 1 (autonomous) to 8 (simulated) are fixes; 0 is none.
constexpr int32_t kFirstFixQuality = 1;
constexpr int32_t kLastFixQuality = 8;

struct Position {
    float latitude;
    float longitude;
};

// Latitude, its hemisphere, longitude, its hemisphere, from field `first` on.
std::optional<Position> readPosition(const Sentence& s, int first) {
    std::optional<double> latitude =
        readAngle(s.field(first), kLatitudeLimit, s.field(first + 1) == "S");
    std::optional<double> longitude =
        readAngle(s.field(first + 2), kLongitudeLimit, s.field(first + 3) == "W");
    if (!latitude || !longitude) return std::nullopt;
    return Position{static_cast<float>(*latitude), static_cast<float>(*longitude)};
}

void storeTime(GpsData& current, std::string_view field) {
    if (std::optional<TimeOfDay> time = readTime(field)) {
        current.hour = time->hour;
        current.minute = time->minute;
        current.second = time->second;
    }
}

void storeAltitude(GpsData& current, std::string_view field) {
    if (std::optional<double> altitude = readDecimal(field)) {
        current.altitude = static_cast<float>(*altitude);
    }
}

// A NaN on either side counts as a change.
bool differs(float a, float b) {
    return !(a == b);
}

// Announces a changed position; the first one after no fix has fix 1 until
// a GSA tells the dimension.
void storePosition(GnssState& state, Position position) {
    GpsData& current = state.current;
    if (!differs(position.latitude, current.latitude) &&
        !differs(position.longitude, current.longitude)) {
        return;
    }
    current.latitude = position.latitude;
    current.longitude = position.longitude;
    if (current.fix == FixNone) current.fix = FixUnknown;
    state.positionUpdated.store(true);
}

// The receiver lost its fix: nothing is known any more, announced once.
void loseFix(GnssState& state) {
    if (state.current.fix == FixNone) return;
    state.current = GpsData{};
    state.positionUpdated.store(true);
}

// GNS carries one mode letter per system; 'N' is no fix.
bool anyFix(std::string_view modes) {
    for (char mode : modes) {
        if (mode != 'N') return true;
    }
    return false;
}

} // namespace

void applyRmc(GnssState& state, const Sentence& s) {
    enum { Time, Status, Lat, NorthSouth, Lon, EastWest, Knots, Course, DateField };
    noteEpoch(state, s.field(Time));
    state.rmcSeen = true;
    if (s.field(Status) != "A") {
        loseFix(state);
        return;
    }
    std::optional<Position> position = readPosition(s, Lat);
    if (!position) return;
    GpsData& current = state.current;
    storeTime(current, s.field(Time));
    if (std::optional<Date> date = readDate(s.field(DateField))) {
        current.day = date->day;
        current.month = date->month;
        current.year = date->year;
    }
    if (std::optional<double> knots = readDecimal(s.field(Knots))) {
        current.speed = static_cast<float>(*knots * kKnotsToKmh);
    }
    storePosition(state, *position);
}

void applyGga(GnssState& state, const Sentence& s) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Quality, Used, Hdop, Altitude };
    noteEpoch(state, s.field(Time));
    std::optional<int32_t> quality = readInt(s.field(Quality));
    if (!quality || *quality < kFirstFixQuality || *quality > kLastFixQuality) return;
    storeAltitude(state.current, s.field(Altitude));
}

void applyGns(GnssState& state, const Sentence& s) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Modes, Used, Hdop, Altitude };
    noteEpoch(state, s.field(Time));
    bool fix = anyFix(s.field(Modes));
    if (state.rmcSeen) {
        if (fix) storeAltitude(state.current, s.field(Altitude));
        return;
    }
    if (!fix) {
        loseFix(state);
        return;
    }
    std::optional<Position> position = readPosition(s, Lat);
    if (!position) return;
    storeTime(state.current, s.field(Time));
    storeAltitude(state.current, s.field(Altitude));
    storePosition(state, *position);
}

void applyVtg(GnssState& state, const Sentence& s) {
    // Since NMEA 2.3 each value is followed by its unit letter and a mode
    // letter ends the sentence; before, the four values stood alone.
    bool withUnits = s.field(1) == "T";
    std::string_view knotsField = withUnits ? s.field(4) : s.field(2);
    std::string_view kmhField = withUnits ? s.field(6) : s.field(3);
    if (withUnits && s.field(8) == "N") return;
    // Without a fix the record stays all zero.
    if (state.current.fix == FixNone) return;
    if (std::optional<double> kmh = readDecimal(kmhField)) {
        state.current.speed = static_cast<float>(*kmh);
    } else if (std::optional<double> knots = readDecimal(knotsField)) {
        state.current.speed = static_cast<float>(*knots * kKnotsToKmh);
    }
}

void noteEpoch(GnssState& state, std::string_view timeField) {
    if (timeField.empty() || timeField == state.lastTime) return;
    state.lastTime.assign(timeField);
    ++state.epoch;
}

} // namespace tevo::gnss
