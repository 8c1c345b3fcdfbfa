#include "render/raster/camera.hpp"

#include <cmath>

namespace tevo {

namespace {

constexpr float kFullTurn = 360;
constexpr float kHalfTurn = 180;

struct Trig {
    float ca, sa, cb, sb;
};

Trig trig(float yaw, float pitch) {
    const float a = yaw * kDegreesToRadians, b = pitch * kDegreesToRadians;
    return {std::cos(a), std::sin(a), std::cos(b), std::sin(b)};
}

} // namespace

FloatMatrix cameraToWorld(float yaw, float pitch) {
    const Trig t = trig(yaw, pitch);
    return {t.ca, -t.sa * t.cb, t.sa * t.sb, t.sa, t.ca * t.cb, -t.ca * t.sb, 0, t.sb, t.cb};
}

FloatMatrix worldToCamera(float yaw, float pitch) {
    const Trig t = trig(yaw, pitch);
    return {t.ca, t.sa, 0, -t.sa * t.cb, t.ca * t.cb, t.sb, t.sa * t.sb, -t.ca * t.sb, t.cb};
}

FixedMatrix worldToCameraFixed(float yaw, float pitch) {
    const FloatMatrix w = worldToCamera(yaw, pitch);
    FixedMatrix m{};
    for (size_t i = 0; i < m.size(); ++i) m[i] = static_cast<int32_t>(w[i] * kFixedOne);
    return m;
}

float normaliseYaw(float degrees) {
    float v = degrees - std::trunc(degrees / kFullTurn) * kFullTurn;
    if (v < 0) v += kFullTurn;
    return v;
}

float normalisePitch(float degrees) {
    const float v = degrees - std::trunc(degrees / kHalfTurn) * kHalfTurn;
    return v < 0 ? 0 : v;
}

Camera::Camera(int32_t px, int32_t py, int32_t tz, int32_t viewportWidth, int32_t viewportHeight)
    : principalX(px), principalY(py), targetZ(tz), followedScreenX(viewportWidth / 2),
      followedScreenY(3 * viewportHeight / 4) {
    matrix_ = worldToCameraFixed(yaw_, pitch_);
}

void Camera::setYaw(float degrees) {
    yaw_ = normaliseYaw(degrees);
    matrix_ = worldToCameraFixed(yaw_, pitch_);
}

void Camera::setPitch(float degrees) {
    pitch_ = normalisePitch(degrees);
    matrix_ = worldToCameraFixed(yaw_, pitch_);
}

} // namespace tevo
