#include "tools/nmeasim/sentences.hpp"

#include <cmath>
#include <cstdio>
#include <vector>

namespace tevo::nmeasim {

namespace {

constexpr double kKmhPerKnot = 1.852;
constexpr int kSatellitesPerGsv = 4;
constexpr int kUsedSlots = 12;

struct Satellite {
    int prn;
    double elevation; // degrees
    double azimuth;   // degrees at second 0
    int snr;
    bool used;
};

// A plausible sky: eight satellites in the fix, two low ones without.
constexpr Satellite kSky[] = {
    {2, 71, 40, 45, true},   {5, 54, 110, 42, true},  {9, 38, 200, 39, true},
    {12, 25, 290, 35, true}, {15, 62, 320, 44, true}, {18, 17, 75, 31, true},
    {21, 43, 160, 40, true}, {26, 30, 240, 37, true}, {29, 8, 15, 18, false},
    {31, 4, 185, 0, false},
};
constexpr int kSkySize = sizeof(kSky) / sizeof(kSky[0]);

std::string format(const char* pattern, auto... args) {
    char text[256];
    std::snprintf(text, sizeof(text), pattern, args...);
    return text;
}

// ddmm.mmmm / dddmm.mmmm with the hemisphere letter.
std::string angle(double degrees, int degreeDigits, char positive, char negative) {
    double value = std::fabs(degrees);
    int whole = static_cast<int>(value);
    double minutes = (value - whole) * 60.0;
    if (minutes >= 59.99995) { // would print as 60.0000
        ++whole;
        minutes = 0;
    }
    return format("%0*d%07.4f,%c", degreeDigits, whole, minutes, degrees < 0 ? negative : positive);
}

std::string rmc(const SimFix& fix, const std::tm& t) {
    if (!fix.valid)
        return sentence(format("GPRMC,%02d%02d%02d.00,V,,,,,,,%02d%02d%02d,,,N", t.tm_hour,
                               t.tm_min, t.tm_sec, t.tm_mday, t.tm_mon + 1, t.tm_year % 100));
    return sentence(format("GPRMC,%02d%02d%02d.00,A,%s,%s,%.2f,%.1f,%02d%02d%02d,,,A", t.tm_hour,
                           t.tm_min, t.tm_sec, angle(fix.latitude, 2, 'N', 'S').c_str(),
                           angle(fix.longitude, 3, 'E', 'W').c_str(), fix.speedKmh / kKmhPerKnot,
                           fix.course, t.tm_mday, t.tm_mon + 1, t.tm_year % 100));
}

std::string gga(const SimFix& fix, const std::tm& t) {
    if (!fix.valid)
        return sentence(
            format("GPGGA,%02d%02d%02d.00,,,,,0,00,99.9,,M,,M,,", t.tm_hour, t.tm_min, t.tm_sec));
    return sentence(format("GPGGA,%02d%02d%02d.00,%s,%s,1,08,0.9,%.1f,M,47.0,M,,", t.tm_hour,
                           t.tm_min, t.tm_sec, angle(fix.latitude, 2, 'N', 'S').c_str(),
                           angle(fix.longitude, 3, 'E', 'W').c_str(), fix.altitude));
}

std::string gsa(bool valid) {
    std::string body = valid ? "GPGSA,A,3" : "GPGSA,A,1";
    int listed = 0;
    for (const Satellite& s : kSky) {
        if (valid && s.used && listed < kUsedSlots) {
            body += format(",%02d", s.prn);
            ++listed;
        }
    }
    for (; listed < kUsedSlots; ++listed) body += ",";
    return sentence(body + (valid ? ",1.6,0.9,1.3" : ",99.9,99.9,99.9"));
}

std::string gsv(long second) {
    std::string out;
    int total = (kSkySize + kSatellitesPerGsv - 1) / kSatellitesPerGsv;
    for (int n = 0; n < total; ++n) {
        std::string body = format("GPGSV,%d,%d,%02d", total, n + 1, kSkySize);
        for (int i = n * kSatellitesPerGsv; i < std::min(kSkySize, (n + 1) * kSatellitesPerGsv);
             ++i) {
            const Satellite& s = kSky[i];
            // The sky turns by a quarter of a degree a minute.
            int azimuth = static_cast<int>(std::fmod(s.azimuth + second / 240.0, 360.0));
            body += format(",%02d,%02d,%03d,", s.prn, static_cast<int>(s.elevation), azimuth);
            if (s.snr > 0) body += format("%02d", s.snr);
        }
        out += sentence(body);
    }
    return out;
}

} // namespace

std::string sentence(const std::string& body) {
    unsigned checksum = 0;
    for (unsigned char c : body) checksum ^= c;
    return "$" + body + format("*%02X\r\n", checksum);
}

std::string fixCycle(const SimFix& fix, long second) {
    std::tm t{};
    gmtime_r(&fix.utc, &t);
    return rmc(fix, t) + gga(fix, t) + gsa(fix.valid) + gsv(second);
}

} // namespace tevo::nmeasim
