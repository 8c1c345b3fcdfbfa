#include "tools/tvmc/level_builder.hpp"

#include "map/tvm_format.hpp"
#include "tools/tvmc/clip.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/line_join.hpp"
#include "tools/tvmc/simplify.hpp"

#include <algorithm>
#include <map>

namespace tevo::tvmc {

namespace {

// Tolerances of the finest level, in map units (one unit is about half a
// metre). The finest level is drawn down to a tenth of a metre a pixel, but
// OSM's lines and area edges are seldom true to a metre: two units drop
// points that no driver tells apart (the pictures before and after agree
// at 0.5 m a pixel) and 3 % of the map. Buildings, raised in the 3D view
// and drawn large at walking speed, keep one unit.
constexpr double kFinestToleranceUnits = 2.0;
constexpr double kFinestBuildingToleranceUnits = 1.0;
constexpr double kTolerancePixels = 1.0;
constexpr double kMinAreaPixels = 2.0;
constexpr std::size_t kMaxPoints = 0xFFFF; // points of one record

double unitsPerSecond() {
    return kUnitsPerDegree / kSecondsPerDegree;
}

struct CellRange {
    CellIndex lo, hi;
};

} // namespace

// Cuts every object into pieces of one cell each and hands them on as
// records.
class LevelCutter::Splitter {
public:
    explicit Splitter(const CellGrid& grid) : grid_(grid) {}

    // The whole object goes to the cells its bounding box covers, split in
    // halves until each piece lies in one cell. An upper polygon stays whole
    // in the cell of its box's centre: a building cut at a cell border would
    // be raised with a wall along the cut.
    void add(const Feature& f, std::vector<TvmPoint> points, const RecordSink& sink) {
        sink_ = &sink;
        const UnitRect box = boundsOf(points);
        if (f.cls == ObjectClass::Polygon && tvm::isUpperPolygonType(f.type)) {
            const TvmPoint centre{static_cast<int32_t>((int64_t{box.x0} + box.x1) / 2),
                                  static_cast<int32_t>((int64_t{box.y0} + box.y1) / 2)};
            emit(f, std::move(points), grid_.cellOf(centre));
            return;
        }
        const CellRange range{grid_.cellOf({box.x0, box.y0}), grid_.cellOf({box.x1, box.y1})};
        distribute(f, std::move(points), range);
    }

    bool keysFit() const { return keysFit_; }

private:
    void distribute(const Feature& f, std::vector<TvmPoint> points, CellRange range) {
        if (range.lo.column == range.hi.column && range.lo.row == range.hi.row) {
            emit(f, std::move(points), range.lo);
            return;
        }
        CellRange a = range, b = range;
        if (range.hi.column > range.lo.column) {
            a.hi.column = range.lo.column + (range.hi.column - range.lo.column) / 2;
            b.lo.column = a.hi.column + 1;
        } else {
            a.hi.row = range.lo.row + (range.hi.row - range.lo.row) / 2;
            b.lo.row = a.hi.row + 1;
        }
        for (const CellRange& half : {a, b}) {
            const UnitRect rect = grid_.rangeRect(half.lo, half.hi);
            if (f.cls == ObjectClass::Polygon) {
                std::vector<TvmPoint> piece = clipPolygon(points, rect);
                if (piece.empty()) continue;
                const CellRange cells = narrowed(piece, half);
                distribute(f, std::move(piece), cells);
            } else {
                for (auto& piece : clipPolyline(points, rect)) {
                    const CellRange cells = narrowed(piece, half);
                    distribute(f, std::move(piece), cells);
                }
            }
        }
    }

    // The cells a piece's box covers, kept within the half it was cut to
    // (a point on the half's upper border belongs to the next cell).
    CellRange narrowed(const std::vector<TvmPoint>& piece, const CellRange& half) const {
        const UnitRect box = boundsOf(piece);
        CellRange r{grid_.cellOf({box.x0, box.y0}), grid_.cellOf({box.x1, box.y1})};
        r.lo.column = std::clamp(r.lo.column, half.lo.column, half.hi.column);
        r.hi.column = std::clamp(r.hi.column, half.lo.column, half.hi.column);
        r.lo.row = std::clamp(r.lo.row, half.lo.row, half.hi.row);
        r.hi.row = std::clamp(r.hi.row, half.lo.row, half.hi.row);
        return r;
    }

    // A piece in one cell becomes records of that cell's block; lines too
    // long for one record are cut into records sharing their end points.
    // Cutting rounds its crossings to whole units, where two points can
    // fall on one: the second is dropped.
    void emit(const Feature& f, std::vector<TvmPoint> points, CellIndex cell) {
        const std::optional<int32_t> key = grid_.keyOf(cell);
        if (!key) {
            keysFit_ = false;
            return;
        }
        if (f.cls != ObjectClass::Poi) {
            dropDuplicates(points, f.cls == ObjectClass::Polygon);
            if (points.size() < (f.cls == ObjectClass::Polygon ? 3u : 2u)) return;
        }
        if (f.cls == ObjectClass::Polyline && points.size() > kMaxPoints) {
            for (std::size_t start = 0; start + 1 < points.size(); start += kMaxPoints - 1) {
                const std::size_t end = std::min(points.size(), start + kMaxPoints);
                (*sink_)(*key, f.cls,
                         {f.type,
                          {points.begin() + static_cast<long>(start),
                           points.begin() + static_cast<long>(end)},
                          f.name});
            }
            return;
        }
        if (points.size() > kMaxPoints) points = simplifyRing(points, fittingTolerance(points));
        if (points.empty()) return;
        (*sink_)(*key, f.cls, {f.type, std::move(points), f.name});
    }

    // A tolerance that brings a huge ring under the record's point limit.
    static double fittingTolerance(const std::vector<TvmPoint>& ring) {
        double tolerance = 1;
        while (simplifyRing(ring, tolerance).size() > kMaxPoints) tolerance *= 2;
        return tolerance;
    }

    const CellGrid& grid_;
    const RecordSink* sink_ = nullptr;
    bool keysFit_ = true;
};

namespace {

// How many cells of the level the object is cut into, at most: the cells of
// a polygon's box, the cells a line's segments cross. Counting stops past
// `limit`.
uint64_t cellsTouched(const Feature& f, const std::vector<TvmPoint>& points, const CellGrid& grid,
                      uint64_t limit) {
    if (f.cls == ObjectClass::Poi || points.empty()) return 1;
    if (f.cls == ObjectClass::Polygon) {
        const UnitRect box = boundsOf(points);
        const CellIndex lo = grid.cellOf({box.x0, box.y0}), hi = grid.cellOf({box.x1, box.y1});
        return static_cast<uint64_t>((int64_t{hi.column} - lo.column + 1) *
                                     (int64_t{hi.row} - lo.row + 1));
    }
    uint64_t cells = 1;
    CellIndex from = grid.cellOf(points.front());
    for (std::size_t i = 1; i < points.size() && cells <= limit; ++i) {
        const CellIndex to = grid.cellOf(points[i]);
        cells += static_cast<uint64_t>(std::abs(int64_t{to.column} - from.column) +
                                       std::abs(int64_t{to.row} - from.row));
        from = to;
    }
    return cells;
}

// Whether the level shows the object at all.
bool levelKeeps(const Feature& f, const LevelPlan& plan) {
    if (plan.finest) return true;
    if (f.maxCellSeconds < plan.cellSeconds) return false;
    if (f.cls != ObjectClass::Polygon) return true;
    const UnitRect box = boundsOf(f.points);
    return std::max(static_cast<double>(box.x1) - box.x0, static_cast<double>(box.y1) - box.y0) >=
           plan.minAreaSideUnits;
}

std::vector<TvmPoint> generalised(const Feature& f, const LevelPlan& plan) {
    switch (f.cls) {
    case ObjectClass::Poi:
        return f.points;
    case ObjectClass::Polyline:
        return simplifyLine(f.points, plan.toleranceUnits);
    case ObjectClass::Polygon:
        return simplifyRing(f.points, tvm::isUpperPolygonType(f.type) ? plan.buildingToleranceUnits
                                                                      : plan.toleranceUnits);
    }
    return {};
}

// What the block's records add to the level's counts and bytes.
void countBlock(const TvmBlock& block, LevelStats& stats) {
    const auto count = [&stats](const std::vector<TvmObject>& list, ObjectClass cls) {
        for (const TvmObject& o : list) {
            const uint64_t name = std::min(o.name.size() * 2, tvm::kMaxNameBytes - 1);
            const bool building = cls == ObjectClass::Polygon && tvm::isUpperPolygonType(o.type);
            const MapKind kind = cls == ObjectClass::Poi        ? MapKind::Poi
                                 : cls == ObjectClass::Polyline ? MapKind::Line
                                 : building                     ? MapKind::Building
                                                                : MapKind::Area;
            ++stats.records[static_cast<int>(cls)];
            stats.buildings += building;
            stats.points += o.points.size();
            stats.names += name;
            stats.bytes[static_cast<int>(kind)] +=
                name + (cls == ObjectClass::Poi
                            ? tvm::kPoiHeaderSize
                            : tvm::kLineHeaderSize + tvm::kPointSize * o.points.size());
        }
    };
    count(block.pois, ObjectClass::Poi);
    count(block.polylines, ObjectClass::Polyline);
    count(block.polygons, ObjectClass::Polygon);
    stats.blockBytes += tvm::kBlockHeaderSize + tvm::kEntrySize;
}

// Largest areas first, so that smaller ones paint over them.
void sortLargestFirst(std::vector<TvmObject>& polygons) {
    std::vector<std::pair<double, std::size_t>> order;
    order.reserve(polygons.size());
    for (std::size_t i = 0; i < polygons.size(); ++i)
        order.emplace_back(-ringArea(polygons[i].points), i);
    std::stable_sort(order.begin(), order.end(),
                     [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<TvmObject> sorted;
    sorted.reserve(polygons.size());
    for (const auto& entry : order) sorted.push_back(std::move(polygons[entry.second]));
    polygons = std::move(sorted);
}

} // namespace

LevelPlan levelPlanFor(uint32_t cellSeconds, bool finest) {
    const double pixel = cellSeconds * unitsPerSecond() / kViewPixels;
    LevelPlan plan;
    plan.cellSeconds = cellSeconds;
    plan.finest = finest;
    plan.toleranceUnits = finest ? kFinestToleranceUnits : kTolerancePixels * pixel;
    plan.buildingToleranceUnits = finest ? kFinestBuildingToleranceUnits : plan.toleranceUnits;
    plan.minAreaSideUnits = finest ? 0 : kMinAreaPixels * pixel;
    return plan;
}

LevelCutter::LevelCutter(const LevelPlan& plan, LevelStats& stats)
    : plan_(plan), stats_(stats), grid_(plan.cellSeconds),
      splitter_(std::make_unique<Splitter>(grid_)) {
    stats_.cellSeconds = plan.cellSeconds;
}

LevelCutter::~LevelCutter() = default;

void LevelCutter::cut(const Feature& f, const RecordSink& sink) {
    if (!levelKeeps(f, plan_)) return;
    std::vector<TvmPoint> points = generalised(f, plan_);
    if (points.empty() || (f.cls == ObjectClass::Polyline && points.size() < 2)) return;
    if (cellsTouched(f, points, grid_, kMaxCellsPerObject) > kMaxCellsPerObject) {
        ++stats_.tooLarge;
        return;
    }
    ++stats_.objects[static_cast<int>(f.cls)];
    splitter_->add(f, std::move(points), sink);
}

bool LevelCutter::keysFit() const {
    return splitter_->keysFit();
}

std::string LevelCutter::keysProblem() const {
    return "cells of " + std::to_string(plan_.cellSeconds) +
           " arc-seconds are too small for this area: their keys exceed 32 bits";
}

void finishBlock(TvmBlock& block, const LevelPlan& plan, LevelStats& stats) {
    joinLines(block.polylines, plan.finest ? 0 : plan.toleranceUnits, kMaxPoints);
    sortLargestFirst(block.polygons);
    countBlock(block, stats);
}

bool buildLevel(const std::vector<Feature>& features, const LevelPlan& plan, uint8_t levelTag,
                TvmIndexBlock& out, LevelStats& stats, std::string* error) {
    LevelCutter cutter(plan, stats);
    std::map<int32_t, TvmBlock> blocks;
    const RecordSink sink = [&blocks](int32_t key, ObjectClass cls, TvmObject&& record) {
        TvmBlock& block = blocks[key];
        block.key = key;
        auto& list = cls == ObjectClass::Poi        ? block.pois
                     : cls == ObjectClass::Polyline ? block.polylines
                                                    : block.polygons;
        list.push_back(std::move(record));
    };
    for (const Feature& f : features) cutter.cut(f, sink);
    if (!cutter.keysFit()) {
        if (error) *error = cutter.keysProblem();
        return false;
    }
    out.levelTag = levelTag;
    out.cellSeconds = plan.cellSeconds;
    out.blocks.clear();
    for (auto& [key, block] : blocks) {
        finishBlock(block, plan, stats);
        out.blocks.push_back(std::move(block));
    }
    stats.cells = out.blocks.size();
    return true;
}

} // namespace tevo::tvmc
