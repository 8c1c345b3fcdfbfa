// config.xml: what the program remembers between runs.
#pragma once

#include "config/xml.hpp"

#include <array>
#include <cstdint>
#include <string>

namespace tevo {

class cConfigXML : public cXML {
public:
    // Receiver: COM port number (0: detect) and rate in bits per second (0: detect).
    int32_t port = 0;
    int32_t baudrate = 0;
    // Read and kept, never written back.
    int32_t orientation = 0;
    // Thresholds for following: degrees of course change, km/h.
    int32_t minangle = 5;
    int32_t minspeed = 5;
    // The stored free-view point in map units; -1 means not set.
    std::array<int32_t, 2> viewpos{-1, -1};
    // Longitude and latitude of the view in degrees; -360 means unknown.
    std::array<float, 2> mapposabs{-360.0f, -360.0f};
    // 1: start in free view; anything else follows the vehicle.
    int32_t viewto = 0;
    // Zoom; negative means no view state is stored.
    float scale = -1.0f;
    float scaleuser = 1.0f;
    float axy = 0.0f;
    float ayz = 10.0f;
    float ayzuser = 27.0f;

    // Writes the whole file in its fixed 19-line layout. False when the file
    // cannot be opened or written.
    bool write(const std::string& path) const;

    // The exact text that write puts in the file.
    std::string render() const;

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    int32_t kind_ = 0;
};

} // namespace tevo
