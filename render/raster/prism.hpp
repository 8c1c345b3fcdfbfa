// Extruded ("3D" style) polygons drawn as prisms with the depth fill: a roof
// lifted by the extrusion vector over the ground polygon and the walls
// between them that face the camera, whichever way the polygon winds.
#pragma once

#include "render/raster/camera.hpp"
#include "render/raster/geometry.hpp"
#include "render/raster/painter.hpp"

#include <vector>

namespace tevo {

struct Prism {
    const FixedMatrix* matrix = nullptr; // world to camera; none: ground taken as is
    const GroundPoint* ground = nullptr;
    int count = 0;
    CameraPoint lift; // from a roof vertex down to its ground vertex
    int32_t nearZ = 1;
    int32_t farZ = 3000;
    uint32_t oddWall = 0;  // 0x00BBGGRR, walls of odd index
    uint32_t evenWall = 0; // 0x00BBGGRR, walls of even index
};

// Buffers the prisms reuse, so that drawing one allocates nothing.
struct PrismBuffers {
    std::vector<CameraPoint> roof;
    std::vector<ScreenPoint> screen;
};

// Roof in the painter's fill colour first, then the walls in order; nothing
// when the roof does not show. The fill colour is left at the last wall
// colour. For polygons of up to 8 points.
bool drawPrism(cPainter& painter, const Camera& camera, const Prism& prism, PrismBuffers& buffers);
// Walls while the vertices are transformed, then the roof in the painter's
// fill colour when it lies at least partly within near..far. For larger
// polygons.
bool drawPrismRoofLast(cPainter& painter, const Camera& camera, const Prism& prism,
                       PrismBuffers& buffers);

} // namespace tevo
