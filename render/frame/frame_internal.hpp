// What the passes of one map frame share: the bulk projection with its
// fixed-point scales, the depth limits, and the point buffers of the view.
#pragma once

#include "render/raster/projection.hpp"
#include "render/view/map_view.hpp"

#include <vector>

namespace tevo::frame {

// Object types drawn only when their box is big enough: the smallest areas
// and the buildings that a map carries in thousands.
bool isMinorArea(int32_t type);
// Objects of more than this many points are culled by their boxes first.
inline constexpr size_t kBoxCullPoints = 8;

struct Bulk {
    explicit Bulk(MapView& v) : view(v) {}
    MapView& view;
    int32_t shift = 10;
    int32_t a = 0, b = 0; // x 2^shift
    int32_t cx = 0, cy = 0;
    bool eco = true;
    PixelRect viewport;
    std::vector<ScreenPoint> path; // the visible path of the last line

    // View-centred ground pixels of a map point.
    GroundPoint ground(int32_t x, int32_t y) const;
    // The Eco screen position of a map point.
    ScreenPoint eco2D(int32_t x, int32_t y) const;
    // Map points to Eco screen points into `out`.
    void ecoPoints(const MapPoint* p, size_t n, std::vector<ScreenPoint>& out) const;
    void groundPoints(const MapPoint* p, size_t n, std::vector<GroundPoint>& out) const;
    // The four corners of a box, in Eco screen points or ground points.
    void boxEco(const cPolyLine& o, ScreenPoint out[4]) const;
    void boxGround(const cPolyLine& o, GroundPoint out[4]) const;
    // The projected corners of the object's box in perspective; false when
    // none is within the depth limits.
    bool boxPerspective(const cPolyLine& o, std::vector<ScreenPoint>& out) const;
    bool meetsViewport(const BoundsI& box) const;
    // The buffers grow by at least 32 points, as the view keeps them.
    void reserveFirst(size_t n) const;
};

// The passes, over the loaded blocks of one index block.
void drawPolygons(Bulk& bulk, const cIndexBlock& block);
void drawPolylines(Bulk& bulk, const cIndexBlock& block);
void drawUpperPolygons(Bulk& bulk, const cIndexBlock& block);
void drawPois(Bulk& bulk, const cIndexBlock& block);
void drawTracks(Bulk& bulk);

// Fills one area in the painter's fill colour; true when something was
// drawn. `anchor` receives where its name goes.
bool fillArea(Bulk& bulk, const cPolyLine& o, ScreenPoint& anchor);

} // namespace tevo::frame
