// Smooths the direction of travel over the last few fixes. The ring keeps
// eight samples; each answer mixes the new course with the ones of two and
// three fixes earlier, so that a single stray bearing moves it by little.
#pragma once

#include <array>
#include <cstdint>

namespace tevo {

class CourseFilter {
public:
    static constexpr int32_t kSlots = 8;
    // Calls answered with their input while the ring fills.
    static constexpr int32_t kWarmUpCalls = 3;

    // The filtered course for the new bearing `x` (degrees, unwrapped).
    float filter(float x);

    int32_t wrapCount() const { return wraps_; }
    int32_t lastIndex() const { return last_; }

private:
    void store(float x);

    std::array<float, kSlots> samples_{};
    int32_t last_ = -1;
    int32_t write_ = 0;
    int32_t wraps_ = 0;
};

} // namespace tevo
