#include "plugins/reference_decoder.hpp"

#include <cstdlib>

namespace tevo::test {

namespace {

struct Token {
    std::string text;
    std::size_t end; // offset in the line just after the token's delimiter
};

std::vector<Token> tokenize(const std::string& line) {
    std::vector<Token> tokens;
    std::size_t from = 0;
    while (true) {
        std::size_t at = line.find_first_of(",*", from);
        if (at == std::string::npos) {
            tokens.push_back({line.substr(from), line.size()});
            return tokens;
        }
        tokens.push_back({line.substr(from, at - from), at + 1});
        from = at + 1;
    }
}

struct Fields {
    std::vector<Token> tokens;
    std::size_t length;
    std::string at(std::size_t i) const { return i < tokens.size() ? tokens[i].text : ""; }
    // Characters left after token i has been taken.
    std::size_t leftAfter(std::size_t i) const {
        return i < tokens.size() ? length - tokens[i].end : 0;
    }
    int number(std::size_t i) const { return std::atoi(at(i).c_str()); }
    float decimal(std::size_t i) const { return static_cast<float>(std::atof(at(i).c_str())); }
};

int twoDigits(const std::string& text, std::size_t from) {
    if (from >= text.size()) return 0;
    return static_cast<int>(std::strtol(text.substr(from, 2).c_str(), nullptr, 10));
}

float angle(const std::string& text, std::size_t degreeDigits) {
    float degrees = static_cast<float>(std::atoi(text.substr(0, degreeDigits).c_str()));
    float minutes = static_cast<float>(std::atof(text.substr(degreeDigits, 7).c_str()));
    return degrees + minutes / 60.0f;
}

} // namespace

void ReferenceDecoder::apply(std::string line) {
    std::erase(line, '\r');
    Fields f{tokenize(line), line.size()};
    const std::string id = f.at(0);
    if (id == "$GPRMC") {
        if (f.at(2) != "A") {
            if (current.fix != 0) {
                current = GpsData{};
                positionFlag = true;
                ++positionsAnnounced;
            }
            return;
        }
        std::string lat = f.at(3), lon = f.at(5);
        if (lat.size() < 2 || lon.size() < 3) return;
        float latitude = angle(lat, 2) * (f.at(4) == "S" ? -1.0f : 1.0f);
        float longitude = angle(lon, 3) * (f.at(6) == "W" ? -1.0f : 1.0f);
        std::string time = f.at(1), date = f.at(9);
        current.hour = uint8_t(twoDigits(time, 0));
        current.minute = uint8_t(twoDigits(time, 2));
        current.second = uint8_t(twoDigits(time, 4));
        current.day = uint8_t(twoDigits(date, 0));
        current.month = uint8_t(twoDigits(date, 2));
        current.year = 2000 + twoDigits(date, 4);
        current.speed = f.decimal(7) * 1.852f;
        bool same = longitude == current.longitude && latitude == current.latitude;
        if (!same) {
            current.longitude = longitude;
            current.latitude = latitude;
            if (current.fix == 0) current.fix = 1;
            positionFlag = true;
            ++positionsAnnounced;
        }
    } else if (id == "$GPGGA") {
        if (f.at(6) == "1") current.altitude = f.decimal(9);
    } else if (id == "$GPGSV") {
        int total = f.number(1), number = f.number(2);
        if (number == 1) {
            satelliteFlag = false;
            satellites = {};
            stored = 0;
            inView = f.number(3);
        }
        std::size_t k = 4;
        do {
            if (stored < inView && stored < kSatelliteSlots) {
                SatelliteInfo& s = satellites[stored++];
                s.prn = uint8_t(f.number(k));
                s.elevation = f.number(k + 1);
                s.azimuth = f.number(k + 2);
                s.snr = f.number(k + 3);
            }
            k += 4;
        } while (f.leftAfter(k - 1) > 2);
        if (number == total) {
            for (int i = 0; i < stored; ++i) {
                satellites[i].used = 0;
                for (int prn : usedPrn) {
                    if (satellites[i].prn == prn) satellites[i].used = 1;
                }
            }
            satelliteFlag = true;
            ++tablesAnnounced;
        }
    } else if (id == "$GPGSA") {
        int mode = f.number(2);
        if (mode == 1) current.fix = 0;
        if (mode == 2 || mode == 3) current.fix = uint8_t(mode);
        for (int i = 0; i < 12; ++i) usedPrn[i] = f.number(3 + i);
        current.pdop = f.at(15).empty() ? 0.0f : f.decimal(15);
        current.hdop = f.at(16).empty() ? 0.0f : f.decimal(16);
        current.vdop = f.at(17).empty() ? 0.0f : f.decimal(17);
    }
}

} // namespace tevo::test
