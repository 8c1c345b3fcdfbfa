// Level assembly: for one cell size, choose what the level shows, simplify
// it, cut it into the cells it crosses and pack the cells into blocks.
#pragma once

#include "map/tvm_writer.hpp"
#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/grid.hpp"

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tevo::tvmc {

// Width in pixels of the view the generalisation is tuned for: a level is
// drawn until the view is one of its cells wide.
inline constexpr double kViewPixels = 480.0;

// A level keeps an object only when it is cut into at most this many of the
// level's cells (the cells of a polygon's bounding box, the cells a line
// crosses): a forest the size of a continent would fill millions of the
// finest cells. Large areas stay on the coarser levels, where they cover
// few cells; 64 by 64 cells of the finest default level are about a degree.
inline constexpr uint64_t kMaxCellsPerObject = 64 * 64;

struct LevelPlan {
    uint32_t cellSeconds = 0;
    bool finest = false;       // the finest level keeps every object
    double toleranceUnits = 0; // Douglas-Peucker tolerance of lines and areas
    double buildingToleranceUnits = 0;
    double minAreaSideUnits = 0; // smaller polygons are left out
};

// The generalisation of a level: tolerance about one pixel, and polygons of
// at least two pixels, at the coarsest view the level serves.
LevelPlan levelPlanFor(uint32_t cellSeconds, bool finest);

// Where the bytes of a level go: the records of each kind, names included.
enum class MapKind : uint8_t { Poi, Line, Area, Building };
inline constexpr int kMapKindCount = 4;

struct LevelStats {
    uint32_t cellSeconds = 0;
    std::array<uint64_t, kObjectClassCount> objects{}; // features the level keeps
    std::array<uint64_t, kObjectClassCount> records{}; // records written (pieces per cell)
    uint64_t buildings = 0;                            // upper polygons among the polygons
    uint64_t points = 0;
    uint64_t cells = 0;
    uint64_t tooLarge = 0; // objects left out: they cover too many cells
    std::array<uint64_t, kMapKindCount> bytes{};
    uint64_t names = 0;      // bytes of names in the records
    uint64_t blockBytes = 0; // block headers and index entries
};

// Receives the records of a feature on a level, in the order the block
// keeps them: the key of the record's cell, its class, the record.
using RecordSink = std::function<void(int32_t key, ObjectClass cls, TvmObject&& record)>;

// Puts features onto one level: whether the level shows a feature, its
// shape simplified for the level, and its records in the cells it crosses.
class LevelCutter {
public:
    LevelCutter(const LevelPlan& plan, LevelStats& stats);
    ~LevelCutter();
    void cut(const Feature& f, const RecordSink& sink);
    // False once a cell key did not fit the grid's 32-bit keys.
    bool keysFit() const;
    // The message for a level whose keys did not fit.
    std::string keysProblem() const;

private:
    class Splitter;
    const LevelPlan plan_;
    LevelStats& stats_;
    CellGrid grid_;
    std::unique_ptr<Splitter> splitter_;
};

// Makes a cell's records a block: lines that continue each other joined,
// polygons largest first (so that smaller ones paint over them); counts the
// block into the level's stats.
void finishBlock(TvmBlock& block, const LevelPlan& plan, LevelStats& stats);

// Builds the index block of one level in memory; blocks come out in
// ascending key order. Fails (false, message in *error) when a cell key does
// not fit the grid's 32-bit keys.
bool buildLevel(const std::vector<Feature>& features, const LevelPlan& plan, uint8_t levelTag,
                TvmIndexBlock& out, LevelStats& stats, std::string* error);

} // namespace tevo::tvmc
