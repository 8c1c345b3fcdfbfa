#include "render/raster/prism.hpp"

#include "render/raster/projection.hpp"

#include <cstdlib>

namespace tevo {

namespace {

CameraPoint operator-(const CameraPoint& a, const CameraPoint& b) {
    return {a.x - b.x, a.y - b.y, a.z - b.z};
}
CameraPoint operator+(const CameraPoint& a, const CameraPoint& b) {
    return {a.x + b.x, a.y + b.y, a.z + b.z};
}

// The roof vertex over ground vertex i: ground point in camera space minus E.
CameraPoint roofVertex(const Camera& camera, const Prism& prism, int i) {
    const int32_t h = std::abs(camera.targetZ);
    return toCamera(prism.matrix, prism.ground[i].u, prism.ground[i].v, h) - prism.lift;
}

float depthScale(const cPainter& painter) {
    return static_cast<float>(painter.depth().maxDepth());
}

// Fills a projected polygon with the plane of its first three camera points.
bool fillFace(cPainter& painter, const Camera& camera, const CameraPoint* face, int count,
              const Prism& prism, std::vector<ScreenPoint>& screen) {
    if (!projectPolygonCamera(camera, face, count, prism.nearZ, prism.farZ, screen)) return false;
    const DepthPlane plane = depthPlane(face[0], face[1], face[2], camera, depthScale(painter));
    return painter.fillPolygonDepth(screen.data(), static_cast<int>(screen.size()), plane.a,
                                    plane.b, plane.c);
}

// Map polygons come in either winding. The facing test holds for walls of a
// polygon whose shoelace sum in ground coordinates is positive; for the other
// winding its answer is turned round, or a box would show its back walls.
bool reversedWinding(const Prism& prism) {
    __int128 sum = 0;
    for (int i = 0; i < prism.count; ++i) {
        const GroundPoint& a = prism.ground[i];
        const GroundPoint& b = prism.ground[i + 1 == prism.count ? 0 : i + 1];
        sum += static_cast<__int128>(a.u) * b.v - static_cast<__int128>(b.u) * a.v;
    }
    return sum < 0;
}

// Wall `index` between roof vertices a and b, in the colour of its parity,
// drawn only when it faces the camera.
bool drawWall(cPainter& painter, const Camera& camera, const Prism& prism, bool reversed, int index,
              const CameraPoint& a, const CameraPoint& b, std::vector<ScreenPoint>& screen) {
    painter.setFillColour(painter.mapColour((index & 1) ? prism.oddWall : prism.evenWall));
    const CameraPoint quad[4] = {a, b, b + prism.lift, a + prism.lift};
    if (facesCamera(quad) == reversed) return false;
    return fillFace(painter, camera, quad, 4, prism, screen);
}

bool usable(const Prism& prism) {
    return prism.ground != nullptr && prism.count >= 3;
}

} // namespace

bool drawPrism(cPainter& painter, const Camera& camera, const Prism& prism, PrismBuffers& buffers) {
    if (!usable(prism)) return false;
    buffers.roof.resize(prism.count);
    for (int i = 0; i < prism.count; ++i) buffers.roof[i] = roofVertex(camera, prism, i);
    const CameraPoint* roof = buffers.roof.data();
    // The roof decides: a prism whose roof does not show is not drawn.
    if (!fillFace(painter, camera, roof, prism.count, prism, buffers.screen)) return false;
    const bool reversed = reversedWinding(prism);
    for (int i = 1; i <= prism.count; ++i)
        drawWall(painter, camera, prism, reversed, i, roof[i - 1], roof[i == prism.count ? 0 : i],
                 buffers.screen);
    return true;
}

bool drawPrismRoofLast(cPainter& painter, const Camera& camera, const Prism& prism,
                       PrismBuffers& buffers) {
    if (!usable(prism)) return false;
    const uint32_t roofColour = painter.fillColour();
    buffers.roof.resize(prism.count);
    const bool reversed = reversedWinding(prism);
    bool drew = false, nearSide = false, farSide = false;
    for (int i = 0; i < prism.count; ++i) {
        const CameraPoint r = roofVertex(camera, prism, i);
        buffers.roof[i] = r;
        nearSide |= r.z > prism.nearZ;
        farSide |= r.z <= prism.farZ;
        if (i > 0)
            drew |= drawWall(painter, camera, prism, reversed, i, buffers.roof[i - 1], r,
                             buffers.screen);
    }
    // The closing wall, from the last vertex back to the first.
    drew |= drawWall(painter, camera, prism, reversed, prism.count, buffers.roof[prism.count - 1],
                     buffers.roof[0], buffers.screen);
    painter.setFillColour(roofColour);
    if (nearSide && farSide)
        drew |= fillFace(painter, camera, buffers.roof.data(), prism.count, prism, buffers.screen);
    return drew;
}

} // namespace tevo
