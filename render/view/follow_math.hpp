// The arithmetic of following the vehicle, shared by the view and its tests.
#pragma once

#include "plugin-api/plugin_api.hpp"

namespace tevo {

// No car goes faster; a receiver's larger speed is taken as this one.
inline constexpr float kMaxPlausibleSpeed = 400.0f; // km/h

// The bearing in degrees counter-clockwise from east, 0..360, from one point
// to the next (degrees scaled by the map's kx and ky); 0 for the same point.
// Across the 0/360 degree line the short way round counts.
float bearingDegrees(float lon1, float lat1, float lon2, float lat2, float kx, float ky);

// `beta` (0..360) as the nearest turn from `previous`, which may lie outside
// 0..360: from 350 a bearing of 10 is 370.
float unwrapCourse(float beta, float previous);

// False for a record whose position is not a number or lies off the Earth.
bool usableFix(const GpsData& record);

// The speed as the view uses it: its size, 0 for no number, at most
// kMaxPlausibleSpeed.
float plausibleSpeed(float kmh);

} // namespace tevo
