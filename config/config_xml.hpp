// config.xml: what the program remembers between runs.
#pragma once

#include "config/xml.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace tevo {

class cConfigXML : public cXML {
public:
    static constexpr int32_t kDefaultThreshold = 5;
    static constexpr float kDefaultAyz = 10.0f;
    static constexpr float kDefaultAyzuser = 27.0f;
    static constexpr float kDefaultScale = -1.0f;
    static constexpr float kDefaultScaleuser = 1.0f;
    static constexpr float kUnknownDegrees = -360.0f;
    static constexpr std::array<int32_t, 2> kUnsetViewpos{-1, -1};
    static constexpr std::array<float, 2> kUnknownPosition{kUnknownDegrees, kUnknownDegrees};

    // Every value is checked for its range as it is read; one outside falls
    // back to its default below, with a line on standard output.
    // Receiver: COM port number (0: detect) and rate in bits per second (0: detect).
    int32_t port = 0;
    int32_t baudrate = 0;
    // Read and kept, never written back.
    int32_t orientation = 0;
    // Thresholds for following: degrees of course change, km/h.
    int32_t minangle = kDefaultThreshold;
    int32_t minspeed = kDefaultThreshold;
    // The stored free-view point in map units; -1 means not set.
    std::array<int32_t, 2> viewpos = kUnsetViewpos;
    // Longitude and latitude of the view in degrees; -360 means unknown.
    std::array<float, 2> mapposabs = kUnknownPosition;
    // 1: start in free view; anything else follows the vehicle.
    int32_t viewto = 0;
    // Zoom; negative means no view state is stored.
    float scale = kDefaultScale;
    float scaleuser = kDefaultScaleuser;
    float axy = 0.0f;
    float ayz = kDefaultAyz;
    float ayzuser = kDefaultAyzuser;

    // Writes the whole file in its fixed 19-line layout: a plain file in
    // place, anything else (no file yet, a link) as a new file renamed over
    // the name; a name that leads to no regular file is left alone. False,
    // with a line on standard output, when the file is not written.
    bool write(const std::string& path) const;

    // The exact text that write puts in the file.
    std::string render() const;

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    // The values of the navigation section.
    void readViewValue(std::u16string_view value);

    int32_t kind_ = 0;
};

} // namespace tevo
