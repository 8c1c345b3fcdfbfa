// Pass 3: the areas drawn over the lines (buildings and the like), flat in
// Eco and "2D", as lit prisms in "3D".
#include "render/frame/frame_internal.hpp"
#include "render/raster/numbers.hpp"

namespace tevo::frame {

namespace {

// Wall shades of the roof colour, in percent.
constexpr uint32_t kLitWall = 90;
constexpr uint32_t kShadedWall = 80;
constexpr int32_t kNameType = 1;

uint32_t shade(uint32_t colour, uint32_t percent) {
    uint32_t out = 0;
    for (int shift = 0; shift < 24; shift += 8) {
        uint32_t c = ((colour >> shift) & 0xFF) * percent / 100;
        if (c > 0xFF) c = 0xFF;
        out |= c << shift;
    }
    return out;
}

// Heights of the raised types in metres; any other type stands as tall as
// the near-plane coefficient.
float heightOf(int32_t type) {
    switch (type) {
    case 6:
        return 3;
    case 8:
        return 10;
    case 10:
    case 109:
        return 12;
    case 11:
        return 9;
    case 19:
        return 20;
    case 108:
        return 30;
    case 110:
    case 111:
        return 5;
    default:
        return static_cast<float>(MapView::kNearCoefficient);
    }
}

bool drawRaised(Bulk& bulk, const cPolyLine& o, ScreenPoint& anchor) {
    MapView& v = bulk.view;
    const size_t n = o.points.size();
    if (n > kBoxCullPoints) {
        if (!bulk.boxPerspective(o, v.clipped)) return false;
        const BoundsI box = boundsOfPoints(v.clipped.data(), static_cast<int>(v.clipped.size()));
        if (!bulk.meetsViewport(box)) return false;
        anchor = centroid(v.clipped.data(), static_cast<int>(v.clipped.size()));
    }
    // The roof is lifted against the view direction by the height in pixels.
    const int32_t h = num::truncInt(heightOf(o.type) * v.S);
    const auto lift = [&](int32_t d) {
        return num::truncInt(static_cast<double>(int64_t{h} * d)) >> kFixedShift;
    };
    bulk.groundPoints(o.points.data(), n, v.ground);
    Prism prism;
    prism.matrix = &v.frameMatrix;
    prism.ground = v.ground.data();
    prism.count = static_cast<int>(n);
    prism.lift = {lift(v.viewDirection[0]), lift(v.viewDirection[1]), lift(v.viewDirection[2])};
    prism.nearZ = v.nearZ;
    prism.farZ = v.farZ;
    prism.oddWall = v.wallOdd;
    prism.evenWall = v.wallEven;
    const bool drawn = n <= kBoxCullPoints
                           ? drawPrism(*v.painter, *v.camera, prism, v.prismBuffers)
                           : drawPrismRoofLast(*v.painter, *v.camera, prism, v.prismBuffers);
    if (drawn && n <= kBoxCullPoints && !o.name.empty()) {
        if (!projectPolygon(*v.camera, &v.frameMatrix, v.ground.data(), static_cast<int>(n),
                            v.nearZ, v.farZ, v.clipped))
            return false;
        anchor = centroid(v.clipped.data(), static_cast<int>(v.clipped.size()));
    }
    return drawn;
}

} // namespace

void drawUpperPolygons(Bulk& bulk, const cIndexBlock& block) {
    MapView& v = bulk.view;
    const bool raised = !bulk.eco && v.style3D == Style3D;
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->upperPolygons) {
            if (o->points.empty() || o->mark < v.markThreshold) continue;
            const auto colour = static_cast<uint32_t>(v.style.areaStyle(o->type).colour);
            v.wallOdd = shade(colour, kLitWall);
            v.wallEven = shade(colour, kShadedWall);
            v.painter->setFillColour(v.painter->mapColour(colour));
            ScreenPoint anchor;
            const bool drawn = raised ? drawRaised(bulk, *o, anchor) : fillArea(bulk, *o, anchor);
            if (!drawn || o->name.empty()) continue;
            if (bulk.viewport.contains(anchor.x, anchor.y))
                v.overlays->addAreaName(anchor, o->name, kNameType, true);
        }
    }
}

} // namespace tevo::frame
