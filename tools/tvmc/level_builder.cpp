#include "tools/tvmc/level_builder.hpp"

#include "map/tvm_format.hpp"
#include "tools/tvmc/clip.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/simplify.hpp"

#include <algorithm>
#include <map>

namespace tevo::tvmc {

namespace {

// Tolerance of the finest level, in map units (about half a metre): it only
// drops points that add nothing at any zoom.
constexpr double kFinestToleranceUnits = 1.0;
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
    Splitter(const CellGrid& grid, LevelStats& stats) : grid_(grid), stats_(stats) {}

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
    void emit(const Feature& f, std::vector<TvmPoint> points, CellIndex cell) {
        const std::optional<int32_t> key = grid_.keyOf(cell);
        if (!key) {
            keysFit_ = false;
            return;
        }
        const int cls = static_cast<int>(f.cls);
        if (f.cls == ObjectClass::Polyline && points.size() > kMaxPoints) {
            for (std::size_t start = 0; start + 1 < points.size(); start += kMaxPoints - 1) {
                const std::size_t end = std::min(points.size(), start + kMaxPoints);
                ++stats_.records[cls];
                stats_.points += end - start;
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
        stats_.points += points.size();
        ++stats_.records[cls];
        (*sink_)(*key, f.cls, {f.type, std::move(points), f.name});
    }

    // A tolerance that brings a huge ring under the record's point limit.
    static double fittingTolerance(const std::vector<TvmPoint>& ring) {
        double tolerance = 1;
        while (simplifyRing(ring, tolerance).size() > kMaxPoints) tolerance *= 2;
        return tolerance;
    }

    const CellGrid& grid_;
    LevelStats& stats_;
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
    const auto span = [&grid](TvmPoint a, TvmPoint b) {
        const CellIndex ca = grid.cellOf(a), cb = grid.cellOf(b);
        return std::make_pair(std::abs(int64_t{ca.column} - cb.column) + 1,
                              std::abs(int64_t{ca.row} - cb.row) + 1);
    };
    if (f.cls == ObjectClass::Polygon) {
        const UnitRect box = boundsOf(points);
        const auto [columns, rows] = span({box.x0, box.y0}, {box.x1, box.y1});
        return static_cast<uint64_t>(columns * rows);
    }
    uint64_t cells = 1;
    for (std::size_t i = 1; i < points.size() && cells <= limit; ++i) {
        const auto [columns, rows] = span(points[i - 1], points[i]);
        cells += static_cast<uint64_t>(columns + rows - 2);
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
        return simplifyRing(f.points, plan.toleranceUnits);
    }
    return {};
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
    plan.minAreaSideUnits = finest ? 0 : kMinAreaPixels * pixel;
    return plan;
}

LevelCutter::LevelCutter(const LevelPlan& plan, LevelStats& stats)
    : plan_(plan), stats_(stats), grid_(plan.cellSeconds),
      splitter_(std::make_unique<Splitter>(grid_, stats)) {
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

void finishBlock(TvmBlock& block) {
    sortLargestFirst(block.polygons);
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
        finishBlock(block);
        out.blocks.push_back(std::move(block));
    }
    stats.cells = out.blocks.size();
    return true;
}

} // namespace tevo::tvmc
