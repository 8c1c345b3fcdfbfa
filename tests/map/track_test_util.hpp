// Track files written in code for the track tests.
#pragma once

#include "map/track_log.hpp"
#include "map_test_util.hpp"

#include <cstdio>
#include <string>
#include <vector>

namespace tevo::test {

// The six header lines that track files usually carry.
inline const std::string kPltHeader = "Tevo track file\n"
                                      "WGS 84\n"
                                      "Altitude is in Feet\n"
                                      "Reserved 3\n"
                                      "0,2,255,Track,0,0,2,8421376\n"
                                      "0\n";

inline std::string plt(const std::vector<std::string>& lines) {
    std::string text = kPltHeader;
    for (const std::string& line : lines) text += line + "\n";
    return text;
}

inline bool writeText(const std::string& path, const std::string& text) {
    return writeBytes(path, std::vector<uint8_t>(text.begin(), text.end()));
}

// Reads the text as a track file of this name.
inline TrackLog readText(const std::string& text, const std::string& name = "track.plt") {
    TrackLog log;
    const std::string path = tempPath(name);
    EXPECT_TRUE(writeText(path, text));
    EXPECT_TRUE(readTrack(path, log));
    std::remove(path.c_str());
    return log;
}

// One second in days, the unit of track times.
inline constexpr double kSecond = 1.0 / 86400.0;

} // namespace tevo::test
