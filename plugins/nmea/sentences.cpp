// One small handler per sentence, chosen by a table of identifiers.
#include "plugins/nmea/fields.hpp"
#include "plugins/nmea/receiver_state.hpp"

#include <cstring>

namespace tevo::sentrix {

namespace {

constexpr float kKnotsToKmh = 1.852f;
constexpr float kMinutesPerDegree = 60.0f;
constexpr int32_t kCentury = 2000;
constexpr std::size_t kMinutesWidth = 7;
constexpr std::size_t kLatitudeDegreeDigits = 2;
constexpr std::size_t kLongitudeDegreeDigits = 3;

// Takes `count` fields off the line into `fields`.
template <std::size_t N> void takeFields(std::string_view& line, std::string_view (&fields)[N]) {
    for (std::string_view& field : fields) field = nextField(line);
}

// ddmm.mmmm with `degreeDigits` digits of degrees.
float readAngle(std::string_view field, std::size_t degreeDigits) {
    auto degrees = static_cast<float>(readInt(piece(field, 0, degreeDigits)));
    float minutes = readFloat(piece(field, degreeDigits, kMinutesWidth));
    return degrees + minutes / kMinutesPerDegree;
}

// A NaN on either side counts as a change.
bool differs(float a, float b) {
    return !(a == b);
}

void applyRmc(ReceiverState& state, std::string_view line) {
    enum { Time, Status, Lat, NorthSouth, Lon, EastWest, Speed, Course, Date, Var, VarDir, Mode };
    std::string_view f[12];
    takeFields(line, f);
    GpsData& current = state.current;
    if (f[Status] != "A") {
        if (current.fix != FixNone) {
            current = GpsData{};
            state.positionUpdated.store(true);
        }
        return;
    }
    // A position too short to hold its degrees would read as a false 0.
    if (f[Lat].size() < kLatitudeDegreeDigits || f[Lon].size() < kLongitudeDegreeDigits) return;
    // Position.
    float latitude = readAngle(f[Lat], kLatitudeDegreeDigits);
    float longitude = readAngle(f[Lon], kLongitudeDegreeDigits);
    if (f[NorthSouth] == "S") latitude = -latitude;
    if (f[EastWest] == "W") longitude = -longitude;
    // Time.
    current.hour = static_cast<uint8_t>(readTwoDigits(f[Time], 0));
    current.minute = static_cast<uint8_t>(readTwoDigits(f[Time], 2));
    current.second = static_cast<uint8_t>(readTwoDigits(f[Time], 4));
    // Date.
    current.day = static_cast<uint8_t>(readTwoDigits(f[Date], 0));
    current.month = static_cast<uint8_t>(readTwoDigits(f[Date], 2));
    current.year = kCentury + readTwoDigits(f[Date], 4);
    // Speed.
    current.speed = readFloat(f[Speed]) * kKnotsToKmh;
    // Announce only a changed position.
    if (differs(longitude, current.longitude) || differs(latitude, current.latitude)) {
        current.longitude = longitude;
        current.latitude = latitude;
        if (current.fix == FixNone) current.fix = FixUnknown;
        state.positionUpdated.store(true);
    }
}

void applyGga(ReceiverState& state, std::string_view line) {
    enum { Time, Lat, NorthSouth, Lon, EastWest, Quality, Used, Hdop, Altitude };
    std::string_view f[15];
    takeFields(line, f);
    if (f[Quality] == "1") state.current.altitude = readFloat(f[Altitude]);
}

void markUsedSatellites(ReceiverState& state) {
    for (int32_t i = 0; i < state.stored; ++i) state.satellites[i].used = 0;
    for (int32_t prn : state.usedPrn) {
        for (int32_t i = 0; i < state.stored; ++i) {
            if (state.satellites[i].prn == prn) state.satellites[i].used = 1;
        }
    }
    state.satellitesUpdated.store(true);
}

void applyGsv(ReceiverState& state, std::string_view line) {
    int32_t total = readInt(nextField(line));
    int32_t number = readInt(nextField(line));
    int32_t inView = readInt(nextField(line));
    // 1. The first sentence starts a new table.
    if (number == 1) {
        state.satellitesUpdated.store(false);
        state.satellites = {};
        state.stored = 0;
        state.inView = inView;
    }
    // 2. Groups of four; the checksum digits are all that remain at the end.
    constexpr std::size_t kChecksumDigits = 2;
    do {
        int32_t prn = readInt(nextField(line));
        int32_t elevation = withinOr0(readInt(nextField(line)), kLowestElevation, kZenithElevation);
        int32_t azimuth = withinOr0(readInt(nextField(line)), 0, kLastAzimuth);
        int32_t snr = withinOr0(readInt(nextField(line)), 0, kStrongestSnr);
        if (state.stored < state.inView && state.stored < kSatelliteSlots) {
            SatelliteInfo& info = state.satellites[state.stored++];
            info = SatelliteInfo{};
            info.prn = static_cast<uint8_t>(prn & 0xFF);
            info.elevation = elevation;
            info.azimuth = azimuth;
            info.snr = snr;
        }
    } while (line.size() > kChecksumDigits);
    // 3. The last sentence completes the cycle.
    if (number == total) markUsedSatellites(state);
}

void applyGsa(ReceiverState& state, std::string_view line) {
    nextField(line); // selection mode
    switch (readInt(nextField(line))) {
    case 1:
        state.current.fix = FixNone;
        break;
    case 2:
        state.current.fix = Fix2D;
        break;
    case 3:
        state.current.fix = Fix3D;
        break;
    default:
        break;
    }
    for (int32_t& prn : state.usedPrn) prn = readInt(nextField(line));
    float* dops[] = {&state.current.pdop, &state.current.hdop, &state.current.vdop};
    for (float* dop : dops) {
        *dop = 0.0f;
        std::string_view field = nextField(line);
        if (!field.empty()) *dop = readFloat(field);
    }
}

struct SentenceHandler {
    std::string_view identifier;
    void (*apply)(ReceiverState&, std::string_view rest);
};

constexpr SentenceHandler kHandlers[] = {
    {"$GPRMC", applyRmc},
    {"$GPGGA", applyGga},
    {"$GPGSV", applyGsv},
    {"$GPGSA", applyGsa},
};

} // namespace

void parseSentence(ReceiverState& state, std::string_view line) {
    std::string_view identifier = nextField(line);
    for (const SentenceHandler& handler : kHandlers) {
        if (identifier == handler.identifier) {
            handler.apply(state, line);
            return;
        }
    }
}

} // namespace tevo::sentrix
