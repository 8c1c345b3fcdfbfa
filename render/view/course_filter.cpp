#include "render/view/course_filter.hpp"

#include <cstddef>
#include <limits>

namespace tevo {

namespace {

// The slot before `index` in the ring.
int32_t before(int32_t index) {
    const int32_t i = index - 1;
    return (i < 0 || i >= CourseFilter::kSlots) ? CourseFilter::kSlots - 1 : i;
}

} // namespace

void CourseFilter::store(float x) {
    samples_[static_cast<size_t>(write_)] = x;
    last_ = write_;
    if (++write_ < kSlots) return;
    write_ = 0;
    // The count only tells "the ring has been round"; it never returns to 0.
    wraps_ = wraps_ == std::numeric_limits<int32_t>::max() ? 1 : wraps_ + 1;
}

float CourseFilter::filter(float x) {
    if (wraps_ == 0 && last_ < kWarmUpCalls - 1) {
        store(x);
        return x;
    }
    const int32_t p = last_;
    store(x);
    const int32_t i = before(p);
    const int32_t j = before(i);
    return (5.0f * x + 2.0f * samples_[static_cast<size_t>(i)] - samples_[static_cast<size_t>(j)]) /
           6.0f;
}

} // namespace tevo
