// vsa.xml: how far the map view zooms out and how much it tilts as the
// vehicle goes faster. The view reads it once and asks it for every speed.
//
//   <vsa>
//     <speed kmh="30"><scale>20</scale><angle>50</angle></speed>
//     ...
//   </vsa>
//
// Each `speed` element carries its speed in km/h in its first attribute
// (whatever it is called), the scale in tenths and the camera angle in
// degrees (90 looks straight down). Entries rise strictly in speed; an entry
// that omits `scale` or `angle` keeps the previous entry's value.
#pragma once

#include "config/xml.hpp"

#include <cstdint>
#include <vector>

namespace tevo {

class cVSA : public cXML {
public:
    struct Entry {
        int32_t speed = 0; // km/h
        float scale = 1.0f;
        int32_t angle = 90; // degrees above the horizon
        bool operator==(const Entry&) const = default;
    };
    // The answer for every speed when the file gave no entries.
    static constexpr float kNeutralScale = 1.0f;
    static constexpr int32_t kNeutralAngle = 90;
    // No lookup answers a smaller scale: a file's smallest step, and far
    // from the zero that would make the view's zoom (1 / scale) infinite.
    static constexpr float kMinScale = 0.1f;

    // The view for `speed` km/h (truncated toward zero):
    // - no entries: (speed, 1.0, 90);
    // - one entry: its scale and angle at or below its speed;
    // - between two entries the scale is interpolated linearly, and the angle
    //   is the lower entry's until the speed reaches the upper entry exactly;
    // - below the first entry the scale follows the slope of the first two
    //   (never below kMinScale) and the angle is the first entry's;
    // - above the last entry: the last entry itself, with its own speed.
    // The scale of an answer is never below kMinScale.
    Entry lookup(int32_t speed) const;

    // The entries read, in file order.
    const std::vector<Entry>& entries() const { return entries_; }

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    Entry current_;
    int32_t section_ = 0;
    std::vector<Entry> entries_;
};

} // namespace tevo
