// The third pass: the areas drawn over the lines (buildings and the like),
// flat in Eco and "2D", as lit prisms in "3D".
#include "render/frame/passes.hpp"

#include "render/raster/numbers.hpp"
#include "render/raster/projection.hpp"

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
// the near-plane coefficient of the view.
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
        return static_cast<float>(kNearCoefficient);
    }
}

bool drawRaised(const FrameView& f, FrameCanvas& c, const cPolyLine& o, const Prism& walls,
                ScreenPoint& anchor) {
    const size_t n = o.points.size();
    if (n > kBoxCullPoints) {
        if (!f.boxPerspective(o, c.clipped)) return false;
        const PixelRect box = boundsOfPoints(c.clipped.data(), static_cast<int>(c.clipped.size()));
        if (!f.viewport.meets(box)) return false;
        anchor = centroid(c.clipped.data(), static_cast<int>(c.clipped.size()));
    }
    // The roof is lifted against the view direction by the height in pixels.
    const int32_t h = num::truncInt(heightOf(o.type) * f.scale);
    const auto lift = [&](int32_t d) {
        return num::truncInt(static_cast<double>(int64_t{h} * d)) >> kFixedShift;
    };
    f.groundPoints(o.points.data(), n, c.ground);
    Prism prism = walls;
    prism.matrix = &f.matrix;
    prism.ground = c.ground.data();
    prism.count = static_cast<int>(n);
    prism.lift = {lift(f.viewDirection[0]), lift(f.viewDirection[1]), lift(f.viewDirection[2])};
    prism.nearZ = f.nearZ;
    prism.farZ = f.farZ;
    const bool drawn = n <= kBoxCullPoints
                           ? drawPrism(c.painter, *f.camera, prism, c.prism)
                           : drawPrismRoofLast(c.painter, *f.camera, prism, c.prism);
    if (drawn && n <= kBoxCullPoints && !o.name.empty()) {
        if (!projectPolygon(*f.camera, &f.matrix, c.ground.data(), static_cast<int>(n), f.nearZ,
                            f.farZ, c.clipped))
            return false;
        anchor = centroid(c.clipped.data(), static_cast<int>(c.clipped.size()));
    }
    return drawn;
}

} // namespace

void drawUpperPolygons(const FrameView& f, FrameCanvas& c, const cIndexBlock& block) {
    const bool raised = !f.eco && f.raised;
    for (const auto& objects : block.loaded()) {
        for (const auto& o : objects->upperPolygons) {
            if (o->points.empty()) continue;
            const auto colour = static_cast<uint32_t>(f.style->areaStyle(o->type).colour);
            Prism walls;
            walls.oddWall = shade(colour, kLitWall);
            walls.evenWall = shade(colour, kShadedWall);
            c.painter.setFillColour(c.painter.mapColour(colour));
            ScreenPoint anchor;
            const bool drawn =
                raised ? drawRaised(f, c, *o, walls, anchor) : fillArea(f, c, *o, anchor);
            if (!drawn || o->name.empty()) continue;
            if (f.viewport.contains(anchor.x, anchor.y))
                c.overlays.addAreaName(anchor, o->name, kNameType, true);
        }
    }
}

} // namespace tevo::frame
