#include "tvmc/tvmc_helpers.hpp"

#include "map/map_file.hpp"
#include "map/map_units.hpp"
#include "platform/message_box.hpp"
#include "platform/text.hpp"
#include "support/process.hpp"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tevo::test {

namespace fs = std::filesystem;

namespace {

constexpr int kRunTimeoutMs = 60000;

} // namespace

RunResult runTvmc(const std::vector<std::string>& args) {
    std::vector<std::string> argv{std::string(TEVO_BIN_DIR) + "/tvmc"};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess child(argv);
    RunResult r;
    r.code = child.wait(kRunTimeoutMs);
    r.out = child.output();
    r.err = child.errors();
    return r;
}

namespace {

void collect(const cPtrArray<cPolyLine>& list, Kind kind, const cBlockObjects& block,
             uint32_t seconds, MapDump& dump) {
    for (const auto& p : list)
        dump.objects.push_back({kind, p->type, p->points, p->name, block.key, seconds});
}

void dumpIndexBlock(cIndexBlock& ib, MapDump& dump) {
    const std::vector<IndexEntry> entries = ib.entries();
    for (std::size_t i = 1; i < entries.size(); ++i)
        if (entries[i].key <= entries[i - 1].key) dump.keysAscend = false;
    for (const IndexEntry& e : entries) {
        std::unique_ptr<cBlockObjects> block = ib.lookupBlock(e.key);
        if (!block) {
            dump.everyBlockRead = false;
            continue;
        }
        for (const auto& p : block->pois)
            dump.objects.push_back(
                {Kind::Poi, p->type, {{p->x, p->y}}, p->name, block->key, ib.cellSeconds()});
        collect(block->polylines, Kind::Polyline, *block, ib.cellSeconds(), dump);
        collect(block->polygons, Kind::Polygon, *block, ib.cellSeconds(), dump);
        collect(block->upperPolygons, Kind::Upper, *block, ib.cellSeconds(), dump);
    }
}

} // namespace

MapDump dumpMap(const std::string& path) {
    setMessageBoxesDrawn(false);
    MapDump dump;
    cMapFile map;
    BoundsF start{};
    dump.opened = map.open(toWide(path), &start);
    if (!dump.opened) return dump;
    dump.startRect[0] = start.minX;
    dump.startRect[1] = start.minY;
    dump.startRect[2] = start.maxX;
    dump.startRect[3] = start.maxY;
    dump.name = map.name();
    for (const auto& level : map.levels()) {
        dump.levels.push_back(level->cellSeconds());
        for (const auto& ib : level->indexBlocks()) dumpIndexBlock(*ib, dump);
    }
    return dump;
}

CellBox cellBox(int32_t key, uint32_t cellSeconds) {
    const float f = static_cast<float>(cellSeconds / 3600.0);
    const auto n = static_cast<int32_t>(360.0 / f + 0.5);
    const int32_t column = key % n, row = key / n;
    const double units = static_cast<double>(f) * kMapUnitsPerDegree;
    return {column * units, row * units, (column + 1) * units, (row + 1) * units};
}

MapPoint unitsOf(double lon, double lat) {
    if (lon < 0) lon += 360;
    return {static_cast<int32_t>(std::lround(lon * kMapUnitsPerDegree)),
            static_cast<int32_t>(std::lround(lat * kMapUnitsPerDegree))};
}

int32_t keyOf(double lon, double lat, uint32_t cellSeconds) {
    if (lon < 0) lon += 360;
    const float f = static_cast<float>(cellSeconds / 3600.0);
    const auto n = static_cast<int32_t>(360.0 / f + 0.5);
    return static_cast<int32_t>(std::floor(lat / f)) * n +
           static_cast<int32_t>(std::floor(lon / f));
}

MapPoint boxCentre(const std::vector<MapPoint>& points) {
    int64_t x0 = INT32_MAX, y0 = INT32_MAX, x1 = INT32_MIN, y1 = INT32_MIN;
    for (const MapPoint& p : points) {
        x0 = std::min<int64_t>(x0, p.x);
        y0 = std::min<int64_t>(y0, p.y);
        x1 = std::max<int64_t>(x1, p.x);
        y1 = std::max<int64_t>(y1, p.y);
    }
    return {static_cast<int32_t>((x0 + x1) / 2), static_cast<int32_t>((y0 + y1) / 2)};
}

} // namespace tevo::test
