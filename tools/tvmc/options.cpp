#include "tools/tvmc/options.hpp"

#include "tools/tvmc/memory_budget.hpp"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <string_view>

namespace tevo::tvmc {

namespace {

const char kUsage[] =
    "Usage: tvmc [options] INPUT... -o map.tvm\n"
    "\n"
    "Compiles OpenStreetMap data into a Tevo map file. INPUT may be .osm, .osm.gz,\n"
    ".osm.bz2 or .osm.pbf; several inputs are merged into one map.\n"
    "\n"
    "Options:\n"
    "  -o, --output FILE       the map file to write (default map.tvm). It is written\n"
    "                          under a temporary name and renamed when complete, so\n"
    "                          a failed run never leaves a partial map.\n"
    "  -n, --name NAME         the map's name (default: the first input's file name\n"
    "                          without its extensions: andorra.osm.pbf gives andorra)\n"
    "  -l, --levels S,S,...    the levels as cell sizes in arc-seconds, finest first\n"
    "                          (default 60,300,1800,7200). A level is drawn while the\n"
    "                          view is narrower than one of its cells and wider than\n"
    "                          one cell of the next finer level.\n"
    "  -s, --start-level S     the level written last (default: the finest). Its\n"
    "                          start cell is what the navigator's view fits and\n"
    "                          centres on when it starts.\n"
    "  -c, --start LON,LAT     start on the cell of the start level that holds this\n"
    "                          position (default: the cell with the most objects)\n"
    "  -b, --bbox W,S,E,N      keep only what lies inside this box (degrees; west and\n"
    "                          south edges first); objects crossing it are cut.\n"
    "  -R, --no-road-graph     leave out the road graph that tvmroute and the\n"
    "                          navigator route on (written by default beside the\n"
    "                          map, its name ending in .tvr instead of .tvm)\n"
    "  -N, --no-name-index     leave out the name index that tvmsearch and the\n"
    "                          navigator search (written by default beside the\n"
    "                          map, its name ending in .tvn instead of .tvm); an\n"
    "                          index already there is left as it is\n"
    "  -m, --memory SIZE       the memory the run may use, e.g. 4G or 512M (default: a\n"
    "                          quarter of the machine's memory, at most 2G). What does\n"
    "                          not fit goes to scratch files; the map is the same\n"
    "                          whatever the bound.\n"
    "  -t, --tmp DIR           the folder of the scratch files (default: the output's\n"
    "                          folder). They have no name and vanish with the run,\n"
    "                          even a killed one.\n"
    "      --locations WHERE   where the nodes' locations are kept between the passes:\n"
    "                          auto (in memory while they fit half the bound, then on\n"
    "                          disk; the default), memory or disk\n"
    "  -q, --quiet             no progress line and no summary\n"
    "  -h, --help              this text\n"
    "\n"
    "The map grid covers the northern hemisphere: input south of the equator is\n"
    "refused (cut it away with --bbox). Longitudes west of Greenwich are stored as\n"
    "180 to 360 degrees. Object types come from the type table described in\n"
    "docs/map-types.md.\n";

bool parseNumbers(std::string_view text, std::vector<double>& out) {
    std::string copy(text);
    const char* p = copy.c_str();
    while (true) {
        char* end = nullptr;
        errno = 0;
        const double v = std::strtod(p, &end);
        if (end == p || errno != 0 || !std::isfinite(v)) return false;
        out.push_back(v);
        if (*end == '\0') return true;
        if (*end != ',') return false;
        p = end + 1;
    }
}

bool parseLevels(std::string_view text, std::vector<uint32_t>& levels, std::string* error) {
    std::vector<double> values;
    if (!parseNumbers(text, values)) {
        *error = "--levels needs cell sizes in arc-seconds separated by commas, e.g. 60,300,1800";
        return false;
    }
    for (double v : values) {
        if (v != std::floor(v) || v < kMinCellSeconds || v > kMaxCellSeconds) {
            *error = "a cell size must be a whole number of arc-seconds from 1 to 1296000";
            return false;
        }
        levels.push_back(static_cast<uint32_t>(v));
    }
    std::sort(levels.begin(), levels.end());
    if (std::adjacent_find(levels.begin(), levels.end()) != levels.end()) {
        *error = "--levels names a cell size twice";
        return false;
    }
    return true;
}

bool parseBox(std::string_view text, BoundingBox& box, std::string* error) {
    std::vector<double> v;
    if (!parseNumbers(text, v) || v.size() != 4) {
        *error = "--bbox needs four numbers: west,south,east,north in degrees";
        return false;
    }
    box = {v[0], v[1], v[2], v[3]};
    if (box.minLon >= box.maxLon || box.minLat >= box.maxLat || box.minLon < -180 ||
        box.maxLon > 180 || box.maxLat > 90) {
        *error = "--bbox must be west,south,east,north with west < east and south < north";
        return false;
    }
    if (box.minLat < 0) {
        *error = "--bbox reaches south of the equator, which the map grid does not cover";
        return false;
    }
    if (box.minLon < 0 && box.maxLon > 0) {
        *error = "--bbox crosses the Greenwich meridian, where the map grid wraps; cut the "
                 "input into an eastern and a western map";
        return false;
    }
    return true;
}

// The map's name by default: the input's file name without the extensions
// that only say how OSM data is stored (andorra.osm.pbf, moscow.osm.gz).
std::string nameOfInput(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    std::string name = slash == std::string::npos ? path : path.substr(slash + 1);
    for (const char* ext : {".gz", ".bz2", ".pbf", ".osm", ".xml", ".o5m"}) {
        const std::string e = ext;
        if (name.size() > e.size() && name.ends_with(e)) name.resize(name.size() - e.size());
    }
    return name;
}

} // namespace

bool parseOptions(int argc, const char* const* argv, Options& options, std::string* error) {
    std::string scratch;
    if (!error) error = &scratch;
    auto value = [&](int& i, std::string_view flag) -> const char* {
        if (i + 1 >= argc) {
            *error = std::string(flag) + " needs a value";
            return nullptr;
        }
        return argv[++i];
    };
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const char* v = nullptr;
        if (arg == "-h" || arg == "--help") {
            options.help = true;
        } else if (arg == "-q" || arg == "--quiet") {
            options.quiet = true;
        } else if (arg == "-R" || arg == "--no-road-graph") {
            options.roadGraph = false;
        } else if (arg == "-N" || arg == "--no-name-index") {
            options.nameIndex = false;
        } else if (arg == "-o" || arg == "--output") {
            if (!(v = value(i, arg))) return false;
            options.output = v;
        } else if (arg == "-n" || arg == "--name") {
            if (!(v = value(i, arg))) return false;
            options.name = v;
        } else if (arg == "-l" || arg == "--levels") {
            if (!(v = value(i, arg))) return false;
            options.levels.clear();
            if (!parseLevels(v, options.levels, error)) return false;
        } else if (arg == "-s" || arg == "--start-level") {
            if (!(v = value(i, arg))) return false;
            std::vector<uint32_t> one;
            if (!parseLevels(v, one, error) || one.size() != 1) {
                *error = "--start-level needs one cell size in arc-seconds";
                return false;
            }
            options.startLevel = one[0];
        } else if (arg == "-c" || arg == "--start") {
            if (!(v = value(i, arg))) return false;
            std::vector<double> pos;
            if (!parseNumbers(v, pos) || pos.size() != 2 || pos[1] < 0 || pos[1] > 90 ||
                pos[0] < -180 || pos[0] > 360) {
                *error = "--start needs a position: longitude,latitude in degrees, north of "
                         "the equator";
                return false;
            }
            options.start = Options::Position{pos[0], pos[1]};
        } else if (arg == "-b" || arg == "--bbox") {
            if (!(v = value(i, arg))) return false;
            BoundingBox box;
            if (!parseBox(v, box, error)) return false;
            options.bbox = box;
        } else if (arg == "-m" || arg == "--memory") {
            if (!(v = value(i, arg))) return false;
            options.memory = parseMemorySize(v);
            if (!options.memory || *options.memory < kMinMemoryBound) {
                *error = "--memory needs a size of at least 1M, e.g. 4G or 512M";
                return false;
            }
        } else if (arg == "-t" || arg == "--tmp") {
            if (!(v = value(i, arg))) return false;
            options.scratchDir = v;
        } else if (arg == "--locations") {
            if (!(v = value(i, arg))) return false;
            const std::string_view where = v;
            if (where == "auto")
                options.locations = LocationPlace::Automatic;
            else if (where == "memory")
                options.locations = LocationPlace::Memory;
            else if (where == "disk")
                options.locations = LocationPlace::Disk;
            else {
                *error = "--locations must be auto, memory or disk";
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-') {
            *error = "unknown option " + std::string(arg) + " (see tvmc --help)";
            return false;
        } else {
            options.inputs.emplace_back(arg);
        }
    }
    if (options.help) return true;
    if (options.inputs.empty()) {
        *error = "no input file given (see tvmc --help)";
        return false;
    }
    if (options.levels.empty())
        options.levels.assign(std::begin(kDefaultLevels), std::end(kDefaultLevels));
    if (options.startLevel && std::find(options.levels.begin(), options.levels.end(),
                                        *options.startLevel) == options.levels.end()) {
        *error = "--start-level must be one of the levels";
        return false;
    }
    if (!options.name) options.name = nameOfInput(options.inputs.front());
    return true;
}

UnitRect toUnitRect(const BoundingBox& box) {
    const TvmPoint lo = toMapUnits(box.minLon, box.minLat);
    TvmPoint hi = toMapUnits(box.maxLon, box.maxLat);
    if (box.maxLon == 0 && box.minLon < 0) hi.x = toMapUnits(360.0, 0).x;
    return {lo.x, lo.y, hi.x, hi.y};
}

const char* usageText() {
    return kUsage;
}

} // namespace tevo::tvmc
