// The sentences that carry the fix: RMC (position, time, date, speed), GNS
// and GGA (position, time and altitude for receivers that send no RMC, GGA
// for those that send no GNS either; altitude for the others), VTG (speed)
// and ZDA (the date).
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
constexpr int32_t kLastDay = 31;
constexpr int32_t kLastMonth = 12;
constexpr std::size_t kYearDigits = 4; // ZDA sends the whole year

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

// Whether a sentence of `kind` gives the position: it does when no better
// kind came in the last kStaleEpochs epochs (a receiver told to stop sending
// RMC goes on with GGA).
bool givesPosition(GnssState& state, PositionKind kind) {
    const bool stale = state.positionFromEpoch + kStaleEpochs < state.epoch;
    if (kind < state.positionFrom && !stale) return false;
    state.positionFrom = kind;
    state.positionFromEpoch = state.epoch;
    return true;
}

// The date of the last RMC or ZDA, or none.
void storeKnownDate(GnssState& state) {
    state.current.day = state.day;
    state.current.month = state.month;
    state.current.year = state.year;
}

// Announces a changed position; the first one after no fix has fix 1 until
// a GSA tells the dimension. A better kind of sentence that has just
// appeared takes over quietly in an epoch that a lesser kind announced.
void storePosition(GnssState& state, Position position, PositionKind kind) {
    GpsData& current = state.current;
    if (!differs(position.latitude, current.latitude) &&
        !differs(position.longitude, current.longitude)) {
        return;
    }
    current.latitude = position.latitude;
    current.longitude = position.longitude;
    if (current.fix == FixNone) current.fix = FixUnknown;
    const bool announcedByAnother = state.announcedKind != PositionKind::None &&
                                    state.announcedKind != kind &&
                                    state.announcedEpoch == state.epoch;
    if (announcedByAnother) return;
    state.announcedKind = kind;
    state.announcedEpoch = state.epoch;
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

// What a GGA's fix quality says: 0 no fix, 1 (autonomous) to 8 (simulated)
// a fix; anything else nothing.
std::optional<bool> ggaFix(std::string_view field) {
    std::optional<int32_t> quality = readInt(field);
    if (!quality) return std::nullopt;
    if (*quality == 0) return false;
    if (*quality >= kFirstFixQuality && *quality <= kLastFixQuality) return true;
    return std::nullopt;
}

// The position, time, known date and altitude of a GGA or GNS that gives
// the position.
void storeFixWithAltitude(GnssState& state, const Sentence& s, PositionKind kind) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Quality, Used, Hdop, Altitude };
    std::optional<Position> position = readPosition(s, Lat);
    if (!position) return;
    storeTime(state.current, s.field(Time));
    storeKnownDate(state);
    storeAltitude(state.current, s.field(Altitude));
    storePosition(state, *position, kind);
}

} // namespace

void applyRmc(GnssState& state, const Sentence& s) {
    enum { Time, Status, Lat, NorthSouth, Lon, EastWest, Knots, Course, DateField };
    noteEpoch(state, s.field(Time));
    givesPosition(state, PositionKind::Rmc);
    if (s.field(Status) != "A") {
        loseFix(state);
        return;
    }
    std::optional<Position> position = readPosition(s, Lat);
    if (!position) return;
    GpsData& current = state.current;
    storeTime(current, s.field(Time));
    if (std::optional<Date> date = readDate(s.field(DateField))) {
        state.day = current.day = date->day;
        state.month = current.month = date->month;
        state.year = current.year = date->year;
    }
    if (std::optional<double> knots = readDecimal(s.field(Knots))) {
        current.speed = static_cast<float>(*knots * kKnotsToKmh);
    }
    storePosition(state, *position, PositionKind::Rmc);
}

void applyGga(GnssState& state, const Sentence& s) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Quality, Used, Hdop, Altitude };
    noteEpoch(state, s.field(Time));
    std::optional<bool> fix = ggaFix(s.field(Quality));
    if (!fix) return;
    if (!givesPosition(state, PositionKind::Gga)) {
        if (*fix) storeAltitude(state.current, s.field(Altitude));
        return;
    }
    if (!*fix) {
        loseFix(state);
        return;
    }
    storeFixWithAltitude(state, s, PositionKind::Gga);
}

void applyGns(GnssState& state, const Sentence& s) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Modes, Used, Hdop, Altitude };
    noteEpoch(state, s.field(Time));
    bool fix = anyFix(s.field(Modes));
    if (!givesPosition(state, PositionKind::Gns)) {
        if (fix) storeAltitude(state.current, s.field(Altitude));
        return;
    }
    if (!fix) {
        loseFix(state);
        return;
    }
    storeFixWithAltitude(state, s, PositionKind::Gns);
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

void applyZda(GnssState& state, const Sentence& s) {
    enum { Time, Day, Month, Year };
    std::optional<int32_t> day = readInt(s.field(Day));
    std::optional<int32_t> month = readInt(s.field(Month));
    std::optional<int32_t> year = readInt(s.field(Year));
    const bool valid = day && month && year && *day >= 1 && *day <= kLastDay && *month >= 1 &&
                       *month <= kLastMonth && s.field(Year).size() == kYearDigits;
    if (!valid) return;
    state.day = static_cast<uint8_t>(*day);
    state.month = static_cast<uint8_t>(*month);
    state.year = *year;
    // A fix in hand takes the date at once.
    if (state.current.fix != FixNone) storeKnownDate(state);
}

void noteEpoch(GnssState& state, std::string_view timeField) {
    if (timeField.empty() || timeField == state.lastTime) return;
    state.lastTime.assign(timeField);
    ++state.epoch;
}

} // namespace tevo::gnss
