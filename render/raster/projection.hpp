// Perspective projection: ground points to camera space, a one-pass clip
// against the frame's near and far depth limits, the pinhole projection, and
// the depth plane that the depth fill needs.
#pragma once

#include "map/bounds.hpp"
#include "render/raster/camera.hpp"
#include "render/raster/geometry.hpp"

#include <vector>

namespace tevo {

// R . (u, v, h), each component shifted right by 10; (u, v, h) without a
// matrix. Sums are taken in 64 bits and saturated to 32.
CameraPoint toCamera(const FixedMatrix* matrix, int32_t u, int32_t v, int32_t h);

// False when z <= 0; otherwise (x * f / z + cx, y * f / z + cy), truncated,
// and kept within +-2^30 so that the rasteriser's wide lines cannot wrap.
bool projectPoint(const CameraPoint& p, const Camera& camera, ScreenPoint& out);

// The clipping step alone: the points the edges of `points` (closed: the last
// back to the first as well) keep or gain at the near and far limits, all
// with depths in near..far.
void clipDepth(const CameraPoint* points, int count, bool closed, int32_t nearZ, int32_t farZ,
               std::vector<CameraPoint>& out);

// Ground points through the matrix (none: taken as they are) at the camera
// height, clipped to near..far and projected into `out`; a point equal to the
// one before it is dropped. True when more than 2 points came out; a single
// point is projected when it lies in near..far.
bool projectPolygon(const Camera& camera, const FixedMatrix* matrix, const GroundPoint* ground,
                    int count, int32_t nearZ, int32_t farZ, std::vector<ScreenPoint>& out);
// The same for camera-space points, keeping duplicates; a single point is
// projected when its depth is at least 1.
bool projectPolygonCamera(const Camera& camera, const CameraPoint* points, int count, int32_t nearZ,
                          int32_t farZ, std::vector<ScreenPoint>& out);
// An open line: pieces that leave and re-enter near..far follow one another,
// joined at the crossing points. True when more than 1 point came out.
bool projectPolyline(const Camera& camera, const FixedMatrix& matrix, const GroundPoint* ground,
                     int count, int32_t nearZ, int32_t farZ, std::vector<ScreenPoint>& out);

// a * x' + b * y' + c at a screen pixel is scale / z of the plane through the
// three points seen there; (0, 0, 0) for a plane through the eye.
struct DepthPlane {
    float a = 0;
    float b = 0;
    float c = 0;
};
DepthPlane depthPlane(const CameraPoint& p0, const CameraPoint& p1, const CameraPoint& p2,
                      const Camera& camera, float scale);

// True when the face through the first three points turns toward the eye.
bool facesCamera(const CameraPoint points[4]);

} // namespace tevo
