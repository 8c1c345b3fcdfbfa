// The style file: how each polyline type is stroked and each polygon type
// filled. Read once when the view is built; looked up for every object drawn.
#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

namespace tevo {

struct LineStyle {
    int32_t type = 0;
    int32_t pattern = 0;  // pattern code of the main stroke (see linePattern)
    int32_t width = 0;    // never negative
    int32_t colour = 0;   // 0x00BBGGRR
    int32_t pattern2 = 0; // the second stroke, drawn over the first
    int32_t width2 = 0;   // 0: no second stroke; never negative
    int32_t colour2 = 0;
};

struct AreaStyle {
    int32_t type = 0;
    int32_t textFlag = 0; // not 0: the line gave a text instead of a colour
    int32_t colour = 0;   // 0x00BBGGRR
    std::string text;
};

// The 16-bit mask of a line pattern code: 1 dashed, 2 dotted, else solid.
inline constexpr uint16_t kPatternDashed = 0x00FF;
inline constexpr uint16_t kPatternDotted = 0x8888;
inline constexpr uint16_t kPatternSolid = 0xFFFF;
uint16_t linePattern(int32_t code);

// The polygon type whose colour is also the map background.
inline constexpr int32_t kBackgroundAreaType = 0x4B;

class cMapStyle {
public:
    static constexpr int kLineTypes = 73;  // polyline types 0x00..0x48
    static constexpr int kAreaTypes = 256; // polygon types 0x00..0xFF

    // Reads the file; false (tables untouched) when it cannot be opened.
    bool load(const std::string& path);
    // Reads style lines from text in the file's format.
    void parse(std::string_view text);

    // The style of a polyline type: all zeros for a type the file never gave,
    // dashed red of width 1 for a type outside the table.
    LineStyle lineStyle(int32_t type) const;
    // The style of a polygon type: all zeros for a type the file never gave,
    // type -1 for a type outside the table.
    const AreaStyle& areaStyle(int32_t type) const;

private:
    void parseLine(std::string_view line, int section);

    std::array<LineStyle, kLineTypes> lines_{};
    std::array<AreaStyle, kAreaTypes> areas_{};
};

} // namespace tevo
