// tvminfo FILE | tvminfo --all FILE
//
// Opens a map file as the navigator does and prints it as one JSON document:
// name, levels with their index blocks, start rectangle, and the blocks loaded
// at open (with --all: every block of every index block). Messages go to
// standard error. Exit code 0 when the open succeeded and every block read.
#include "map/map_file.hpp"
#include "platform/message_box.hpp"
#include "platform/text.hpp"
#include "tools/tvminfo/json_out.hpp"

#include <cmath>
#include <cstdio>
#include <cstring>
#include <string>

namespace tevo {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;

void cellRange(JsonOut& j, const char* name, const CellRange& r) {
    const int64_t v[4] = {r.colMin, r.rowMin, r.colMax, r.rowMax};
    j.key(name);
    j.numbers(v, 4);
}

void extent(JsonOut& j, const char* name, const BoundsF& b) {
    const float v[4] = {b.minX, b.minY, b.maxX, b.maxY};
    j.key(name);
    j.floats(v, 4);
}

void poi(JsonOut& j, const cPOI& p) {
    j.beginObject();
    j.key("type");
    j.integer(p.type);
    j.key("x");
    j.integer(p.x);
    j.key("y");
    j.integer(p.y);
    j.key("name");
    j.string(p.name);
    j.endObject();
}

void line(JsonOut& j, const cPolyLine& l) {
    j.beginObject();
    j.key("type");
    j.integer(l.type);
    j.key("pointCount");
    j.integer(static_cast<int64_t>(l.points.size()));
    const int64_t box[4] = {l.minX, l.minY, l.maxX, l.maxY};
    j.key("bbox");
    j.numbers(box, 4);
    j.key("points");
    j.beginArray();
    for (const MapPoint& p : l.points) {
        const int64_t xy[2] = {p.x, p.y};
        j.numbers(xy, 2);
    }
    j.endArray();
    j.key("name");
    j.string(l.name);
    j.endObject();
}

void lines(JsonOut& j, const char* name, const cPtrArray<cPolyLine>& list) {
    j.key(name);
    j.beginArray();
    for (const auto& l : list) line(j, *l);
    j.endArray();
}

void block(JsonOut& j, const cBlockObjects& b, int32_t columns) {
    const Cell cell = cellOfKey(b.key, columns);
    j.beginObject();
    j.key("key");
    j.integer(b.key);
    j.key("offset");
    j.integer(b.offset);
    j.key("column");
    j.integer(cell.col);
    j.key("row");
    j.integer(cell.row);
    j.key("pois");
    j.beginArray();
    for (const auto& p : b.pois) poi(j, *p);
    j.endArray();
    lines(j, "polylines", b.polylines);
    lines(j, "polygons", b.polygons);
    lines(j, "upperPolygons", b.upperPolygons);
    j.endObject();
}

// Prints the index block; with `all` reads every block first. Returns
// whether every block it printed or should have printed was read.
bool indexBlock(JsonOut& j, cIndexBlock& ib, bool all) {
    j.beginObject();
    j.key("levelTag");
    j.integer(ib.levelTag());
    j.key("entries");
    j.integer(static_cast<int64_t>(ib.entries().size()));
    cellRange(j, "cellRange", ib.cellRange());
    extent(j, "extent", ib.extent());
    j.key("blocks");
    j.beginArray();
    if (all) {
        for (const IndexEntry& e : ib.entries())
            if (auto b = ib.lookupBlock(e.key)) block(j, *b, ib.columns());
    } else {
        for (const auto& b : ib.loaded()) block(j, *b, ib.columns());
    }
    j.endArray();
    const std::vector<int32_t> failed = ib.failedKeys();
    j.key("missing");
    j.beginArray();
    for (int32_t key : failed) {
        j.beginObject();
        j.key("key");
        j.integer(key);
        j.endObject();
    }
    j.endArray();
    j.endObject();
    return failed.empty();
}

bool level(JsonOut& j, cMapLevel& level, bool all) {
    j.beginObject();
    j.key("cellSeconds");
    j.integer(level.cellSeconds());
    j.key("cellSize");
    j.number(level.cellSize());
    j.key("columns");
    j.integer(level.indexBlocks().empty() ? 0 : level.indexBlocks()[0]->columns());
    cellRange(j, "cellRange", level.cellRange());
    extent(j, "extent", level.extent());
    j.key("indexBlocks");
    j.beginArray();
    bool ok = true;
    for (const auto& ib : level.indexBlocks()) ok = indexBlock(j, *ib, all) && ok;
    j.endArray();
    j.endObject();
    return ok;
}

int run(const std::string& path, bool all) {
    setMessageBoxesDrawn(false);
    cMapFile map;
    // The start rectangle stays NaN when the open does not write it.
    BoundsF start{NAN, NAN, NAN, NAN};
    const bool opened = map.open(toWidePath(path), &start);
    if (!opened) std::fprintf(stderr, "tvminfo: %s: the map did not open\n", path.c_str());
    JsonOut j(stdout);
    j.beginObject();
    j.key("file");
    j.string(path);
    j.key("opened");
    j.boolean(opened);
    j.key("name");
    j.string(map.name());
    j.key("levels");
    j.beginArray();
    bool ok = opened;
    for (const auto& l : map.levels()) ok = level(j, *l, all) && ok;
    j.endArray();
    if (std::isnan(start.minX)) {
        j.key("startRect");
        j.null();
    } else {
        extent(j, "startRect", start);
    }
    j.endObject();
    return ok ? kExitOk : kExitFailed;
}

} // namespace
} // namespace tevo

namespace {

constexpr const char* kUsage =
    "Usage: tvminfo [--all] FILE\n"
    "\n"
    "Opens a Tevo map file as the navigator does and prints it as one JSON\n"
    "document: its name, its levels with their index blocks, the start rectangle\n"
    "and the blocks loaded at open. Messages go to standard error.\n"
    "\n"
    "Options:\n"
    "  --all        print every block of every index block as well\n"
    "  -h, --help   this text\n"
    "\n"
    "Exit code 0 when the map opened and every block read, 1 otherwise.\n";

} // namespace

int main(int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-h") == 0 || std::strcmp(argv[i], "--help") == 0) {
            std::fputs(kUsage, stdout);
            return 0;
        }
    }
    bool all = false;
    int first = 1;
    if (argc > 1 && std::strcmp(argv[1], "--all") == 0) {
        all = true;
        first = 2;
    }
    if (argc != first + 1) {
        std::fputs(kUsage, stderr);
        return 1;
    }
    return tevo::run(argv[first], all);
}
