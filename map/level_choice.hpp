// The level of detail of a frame: the finest level one of whose cells is
// wider than the view, as long as it has cells under the view; otherwise a
// neighbour that has, with the zoom corrected to it where the level asks for
// a different scale. The block cache then switches to the level chosen
// (cMapFile::selectLevel) and loads its cells.
#pragma once

#include "map/bounds.hpp"
#include "map/map_level.hpp"

#include <cstdint>
#include <memory>
#include <vector>

namespace tevo {

// The level choice after a zoom in, a zoom out, or any other frame.
enum LevelChoiceKind : int32_t { ChoiceZoomIn = 0, ChoiceZoomOut = 1, ChoiceOther = 2 };

struct LevelRequest {
    const PointF* footprint = nullptr; // the viewport's four corners on the ground, degrees
    float viewWidth = 0;               // pixels
    // A cell of f degrees is metresPerDegree * scale * f pixels wide.
    float metresPerDegree = 0; // east-west, at the map's scale
    float scale = 0;           // pixels per metre
    int32_t kind = ChoiceOther;
    const cMapLevel* last = nullptr; // the level of the last frame, if any
    // The cell width (degrees) at whose zoom the whole map fits the view: a
    // view wider than every cell is brought back to the coarsest cell, but
    // never closer than this, so that zooming out reaches the whole map.
    float wholeMapCell = 0;
};

struct LevelChoice {
    // Null when no level has cells under the footprint: the view is off the map.
    cMapLevel* level = nullptr;
    // When above 0, the zoom is to change so that a cell of this many degrees
    // spans the view's width 1.05 times.
    float correctToCell = 0;
};

LevelChoice chooseLevel(const std::vector<std::unique_ptr<cMapLevel>>& levels,
                        const LevelRequest& request);

} // namespace tevo
