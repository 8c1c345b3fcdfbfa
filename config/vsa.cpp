#include "config/vsa.hpp"

#include <algorithm>
#include <cmath>
#include <string_view>

namespace tevo {

namespace {

// Where the reader is: outside an entry, inside one, or inside its values.
enum Section : int32_t {
    kOutside = 0,
    kInSpeed = 1,
    kInScale = 2,
    kInAngle = 3,
};

// `scale` is written in tenths.
constexpr float kScaleUnitsPerOne = 10.0f;

bool is(const char16_t* name, std::u16string_view wanted) {
    return name != nullptr && wanted == name;
}

int32_t firstAttributeInt(const char16_t** attributes) {
    if (attributes == nullptr || attributes[0] == nullptr || attributes[1] == nullptr) return 0;
    return parseInt(attributes[1]);
}

cVSA::Entry interpolate(int32_t speed, const cVSA::Entry& lower, const cVSA::Entry& upper) {
    // Equal speeds are never stored; the guard keeps the division defined.
    const long double span = static_cast<long double>(upper.speed) - lower.speed;
    const long double t = span > 0 ? (static_cast<long double>(speed) - lower.speed) / span : 0;
    const float scale =
        static_cast<float>(lower.scale + (static_cast<long double>(upper.scale) - lower.scale) * t);
    // Below the first entry the angle stays the first entry's: stepping it
    // back once per span would tilt the camera past the vertical.
    const int64_t steps = std::max<int64_t>(0, static_cast<int64_t>(std::trunc(t)));
    const int64_t angle = lower.angle + (int64_t(upper.angle) - lower.angle) * steps;
    return {speed, std::max(scale, cVSA::kMinScale), static_cast<int32_t>(angle)};
}

} // namespace

cVSA::Entry cVSA::lookup(int32_t speed) const {
    if (entries_.empty()) return {speed, kNeutralScale, kNeutralAngle};
    const auto found = std::find_if(entries_.begin(), entries_.end(),
                                    [speed](const Entry& e) { return e.speed >= speed; });
    if (found == entries_.end()) {
        const Entry& last = entries_.back();
        return {last.speed, std::max(last.scale, kMinScale), last.angle};
    }
    if (entries_.size() == 1) return {speed, std::max(found->scale, kMinScale), found->angle};
    // Speeds below the first entry use the first two entries.
    const auto upper = found == entries_.begin() ? found + 1 : found;
    return interpolate(speed, *(upper - 1), *upper);
}

void cVSA::startElement(const char16_t* name, const char16_t** attributes) {
    if (is(name, u"speed")) {
        current_.speed = firstAttributeInt(attributes);
        section_ = kInSpeed;
    } else if (is(name, u"scale")) {
        section_ = kInScale;
    } else if (is(name, u"angle")) {
        section_ = kInAngle;
    }
}

void cVSA::endElement(const char16_t* name) {
    if (is(name, u"speed")) {
        // Entries must rise in speed: a speed that does not (a repeated or a
        // lower one) would make the interpolation undefined; the first of
        // them stays.
        if (entries_.empty() || current_.speed > entries_.back().speed)
            entries_.push_back(current_);
        section_ = kOutside;
    } else if (is(name, u"scale") || is(name, u"angle")) {
        section_ = kInSpeed;
    }
}

void cVSA::characterData(const char16_t* text, int length) {
    if (section_ == kInScale) current_.scale = parseInt(piece(text, length)) / kScaleUnitsPerOne;
    if (section_ == kInAngle) current_.angle = parseInt(piece(text, length));
}

} // namespace tevo
