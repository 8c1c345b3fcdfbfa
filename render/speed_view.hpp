// The speed-dependent view table as the map view uses it.
#pragma once

#include <cstdint>
#include <string>

namespace tevo {

// Until the vsa.xml reader is part of the build, every speed keeps scale 1
// and looks straight down.
struct cSpeedView {
    struct Entry {
        int32_t speed = 0;
        float scale = 1.0f;
        int32_t angle = 90;
    };
    bool parse(const std::string&) { return false; }
    Entry lookup(int32_t speed) const { return {speed, 1.0f, 90}; }
};

} // namespace tevo
