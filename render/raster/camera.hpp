// The camera of the perspective view and the rotation matrices of yaw and
// pitch that the view and the projection share.
#pragma once

#include <array>
#include <cstdint>

namespace tevo {

// Fixed-point matrices hold each element x 1024 and are applied with an
// arithmetic shift right by 10.
constexpr int kFixedShift = 10;
constexpr float kFixedOne = 1 << kFixedShift;
// pi / 180 as the program stores it.
constexpr float kDegreesToRadians = 0.01745329238474369f;

using FixedMatrix = std::array<int32_t, 9>; // row-major R0 .. R8
using FloatMatrix = std::array<float, 9>;

// Camera-to-world M(a, b): a turn about the vertical axis by yaw a after a
// turn about the x axis by pitch b.
FloatMatrix cameraToWorld(float yaw, float pitch);
// World-to-camera W(a, b), the transpose of M(a, b).
FloatMatrix worldToCamera(float yaw, float pitch);
FixedMatrix worldToCameraFixed(float yaw, float pitch);

// Yaw in [0, 360); pitch in [0, 180) with negative remainders becoming 0.
float normaliseYaw(float degrees);
float normalisePitch(float degrees);

struct Camera {
    static constexpr int32_t kFocalLength = 500;
    static constexpr float kInitialPitch = 65;

    // The principal point and the target's height as given; the followed
    // point's screen position at (width / 2, 3 * height / 4) of the viewport.
    Camera(int32_t principalX, int32_t principalY, int32_t targetZ, int32_t viewportWidth,
           int32_t viewportHeight);

    // The screen point of the optical axis.
    int32_t principalX = 0;
    int32_t principalY = 0;
    // The focal length in pixels.
    int32_t focal = kFocalLength;
    // The target's height in map units; -targetZ is the camera height.
    int32_t targetZ = 0;
    // Screen position of the followed point in perspective mode.
    int32_t followedScreenX = 0;
    int32_t followedScreenY = 0;

    // Setting yaw or pitch normalises it and rebuilds the matrix.
    float yaw() const { return yaw_; }
    float pitch() const { return pitch_; }
    void setYaw(float degrees);
    void setPitch(float degrees);
    // The rotation for yaw and pitch, in fixed point.
    const FixedMatrix& matrix() const { return matrix_; }

    // The camera height of the forward projection.
    int32_t height() const { return -targetZ; }

private:
    float yaw_ = 0;
    float pitch_ = kInitialPitch;
    FixedMatrix matrix_{};
};

} // namespace tevo
