#include "plugins/gnss_reference.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdlib>
#include <sstream>
#include <vector>

namespace tevo::test {

namespace {

using uchar = unsigned char;

bool digitsOnly(const std::string& s) {
    return std::all_of(s.begin(), s.end(), [](char c) { return std::isdigit(uchar(c)); });
}

// [+-]? then digits with at most one point, at least one digit.
bool isDecimal(const std::string& s) {
    std::string body = s.substr(!s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0);
    std::size_t point = body.find('.');
    if (point != std::string::npos) body.erase(point, 1);
    return !body.empty() && digitsOnly(body);
}

bool isInteger(const std::string& s) {
    std::string body = s.substr(!s.empty() && (s[0] == '+' || s[0] == '-') ? 1 : 0);
    return !body.empty() && digitsOnly(body);
}

// hhmmss with an optional point and digits after it.
bool isClock(const std::string& s) {
    if (s.size() < 6 || !digitsOnly(s.substr(0, 6))) return false;
    return s.size() == 6 || (s[6] == '.' && digitsOnly(s.substr(7)));
}

// Five upper-case letters, not a proprietary 'P' address.
bool isAddress(const std::string& s) {
    return s.size() == 5 && s[0] != 'P' &&
           std::all_of(s.begin(), s.end(), [](char c) { return c >= 'A' && c <= 'Z'; });
}

struct Parsed {
    std::string type;
    std::vector<std::string> f; // data fields
    std::string at(std::size_t i) const { return i < f.size() ? f[i] : ""; }
};

// The body between the last '$' and '*', when its checksum (if any) is right.
bool body(const std::string& line, std::string& out) {
    std::size_t dollar = line.rfind('$');
    if (dollar == std::string::npos) return false;
    std::string text = line.substr(dollar + 1);
    std::size_t star = text.find('*');
    if (star == std::string::npos) {
        out = text;
        return true;
    }
    std::string sum = text.substr(star + 1);
    sum.erase(sum.find_last_not_of(" \t") + 1);
    if (sum.size() != 2 || !std::isxdigit(uchar(sum[0])) || !std::isxdigit(uchar(sum[1])))
        return false;
    out = text.substr(0, star);
    int x = 0;
    for (char c : out) x ^= uchar(c);
    return x == std::stoi(sum, nullptr, 16);
}

bool parse(const std::string& line, Parsed& p) {
    std::string text;
    if (!body(line, text)) return false;
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, ',');) parts.push_back(part);
    if (!text.empty() && text.back() == ',') parts.push_back("");
    if (parts.empty() || !isAddress(parts[0])) return false;
    p.type = parts[0].substr(2);
    p.f.assign(parts.begin() + 1, parts.end());
    return true;
}

bool decimal(const std::string& s, double& v) {
    if (!isDecimal(s)) return false;
    v = std::strtod(s.c_str(), nullptr);
    return std::isfinite(v);
}

bool integer(const std::string& s, long long& v) {
    if (!isInteger(s)) return false;
    std::string digits = s.substr(s[0] == '+' || s[0] == '-' ? 1 : 0);
    v = digits.size() > 12 ? 1000000000000LL : std::stoll(digits);
    if (s[0] == '-') v = -v;
    return true;
}

bool angle(const std::string& s, double limit, bool negative, float& out) {
    double v;
    if (s.empty() || s[0] == '+' || s[0] == '-' || !decimal(s, v)) return false;
    double degrees = std::trunc(v / 100.0);
    double minutes = v - degrees * 100.0;
    if (minutes >= 60.0) return false;
    double a = degrees + minutes / 60.0;
    if (a > limit) return false;
    out = static_cast<float>(negative ? -a : a);
    return true;
}

void clockTime(const std::string& s, GpsData& g) {
    if (!isClock(s)) return;
    int h = std::stoi(s.substr(0, 2)), mi = std::stoi(s.substr(2, 2)),
        se = std::stoi(s.substr(4, 2));
    if (h > 23 || mi > 59 || se > 60) return;
    g.hour = uint8_t(h);
    g.minute = uint8_t(mi);
    g.second = uint8_t(se);
}

void date(const std::string& s, GpsData& g) {
    if (s.size() != 6 || !digitsOnly(s)) return;
    int d = std::stoi(s.substr(0, 2)), mo = std::stoi(s.substr(2, 2)),
        y = std::stoi(s.substr(4, 2));
    if (d < 1 || d > 31 || mo < 1 || mo > 12) return;
    g.day = uint8_t(d);
    g.month = uint8_t(mo);
    g.year = 2000 + y;
}

} // namespace

void GnssReference::apply(std::string line) {
    std::erase(line, '\r');
    Parsed p;
    if (!parse(line, p)) return;
    const std::string& t = p.type;
    const int kind = t == "GGA" ? 1 : t == "GNS" ? 2 : t == "RMC" ? 3 : 0;
    if (kind != 0 && !p.at(0).empty() && p.at(0) != lastTime) {
        lastTime = p.at(0);
        ++epoch;
    }
    auto announce = [&](float lat, float lon) {
        if (lat == current.latitude && lon == current.longitude) return;
        current.latitude = lat;
        current.longitude = lon;
        if (current.fix == 0) current.fix = 1;
        if (announcedKind != 0 && announcedKind != kind && announcedEpoch == epoch) return;
        announcedKind = kind;
        announcedEpoch = epoch;
        positionFlag = true;
        ++positionsAnnounced;
    };
    auto lose = [&] {
        if (current.fix == 0) return;
        current = GpsData{};
        positionFlag = true;
        ++positionsAnnounced;
    };
    auto knownDate = [&] {
        current.day = lastDate.day;
        current.month = lastDate.month;
        current.year = lastDate.year;
    };
    double v;
    long long n;
    // GGA and GNS: the position when no better sentence came yet, otherwise
    // the altitude of a fix.
    auto fixWithAltitude = [&](bool fix) {
        const bool gives = kind >= bestKind || bestKindEpoch + 3 < epoch;
        if (gives) {
            bestKind = kind;
            bestKindEpoch = epoch;
        }
        if (!gives) {
            if (fix && decimal(p.at(8), v)) current.altitude = float(v);
            return;
        }
        if (!fix) return lose();
        float lat, lon;
        if (!angle(p.at(1), 90, p.at(2) == "S", lat) || !angle(p.at(3), 180, p.at(4) == "W", lon))
            return;
        clockTime(p.at(0), current);
        knownDate();
        if (decimal(p.at(8), v)) current.altitude = float(v);
        announce(lat, lon);
    };
    if (t == "RMC") {
        bestKind = 3;
        bestKindEpoch = epoch;
        if (p.at(1) != "A") return lose();
        float lat, lon;
        if (!angle(p.at(2), 90, p.at(3) == "S", lat) || !angle(p.at(4), 180, p.at(5) == "W", lon))
            return;
        clockTime(p.at(0), current);
        GpsData d{};
        date(p.at(8), d);
        if (d.month != 0) {
            lastDate = d;
            knownDate();
        }
        if (decimal(p.at(6), v)) current.speed = float(v * 1.852);
        announce(lat, lon);
    } else if (t == "GGA") {
        if (!integer(p.at(5), n) || (n != 0 && (n < 1 || n > 8))) return;
        fixWithAltitude(n != 0);
    } else if (t == "GNS") {
        fixWithAltitude(p.at(5).find_first_not_of('N') != std::string::npos);
    } else if (t == "ZDA") {
        long long d, mo, y;
        if (!integer(p.at(1), d) || !integer(p.at(2), mo) || !integer(p.at(3), y) ||
            p.at(3).size() != 4 || d < 1 || d > 31 || mo < 1 || mo > 12)
            return;
        lastDate.day = uint8_t(d);
        lastDate.month = uint8_t(mo);
        lastDate.year = int32_t(y);
        if (current.fix != 0) knownDate();
    } else if (t == "VTG") {
        bool units = p.at(1) == "T";
        if (units && p.at(8) == "N") return;
        if (current.fix == 0) return;
        if (decimal(units ? p.at(6) : p.at(3), v))
            current.speed = float(v);
        else if (decimal(units ? p.at(4) : p.at(2), v))
            current.speed = float(v * 1.852);
    } else if (t == "GSA") {
        if (integer(p.at(1), n) && n >= 1 && n <= 3) {
            if (modeEpoch != epoch || bestMode == 0) {
                bestMode = int(n);
                modeEpoch = epoch;
            } else if (n > bestMode) {
                bestMode = int(n);
            }
            current.fix = bestMode == 1 ? 0 : uint8_t(bestMode);
        }
        current.pdop = decimal(p.at(14), v) ? float(v) : 0.0f;
        current.hdop = decimal(p.at(15), v) ? float(v) : 0.0f;
        current.vdop = decimal(p.at(16), v) ? float(v) : 0.0f;
    }
}

} // namespace tevo::test
