// levels.xml: hide priorities of object types, separately for POIs, polylines
// and polygons. The view reads it once and keeps the lists.
#pragma once

#include "config/xml.hpp"

#include <cstdint>
#include <vector>

namespace tevo {

// One `type` of a `hidepriority` group.
struct TypePriority {
    int32_t priority = 0;
    int32_t type = 0;
    bool operator==(const TypePriority&) const = default;
};

class cLevelsXML : public cXML {
public:
    // In file order.
    const std::vector<TypePriority>& poiTypes() const { return poi_; }
    const std::vector<TypePriority>& polylineTypes() const { return polyline_; }
    const std::vector<TypePriority>& polygonTypes() const { return polygon_; }
    // The largest priority of any group; 0 without groups.
    int32_t maxPriority() const { return maxPriority_; }

    void startElement(const char16_t* name, const char16_t** attributes) override;
    void endElement(const char16_t* name) override;
    void characterData(const char16_t* text, int length) override;

private:
    TypePriority current_;
    int32_t maxPriority_ = 0;
    int32_t section_ = 1;
    int32_t insideType_ = 0;
    // A type before the first `hidepriority` has no priority and is ignored.
    bool havePriority_ = false;
    std::vector<TypePriority> poi_, polyline_, polygon_;
};

} // namespace tevo
