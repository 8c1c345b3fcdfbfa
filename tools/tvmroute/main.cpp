// tvmroute: routes on a program folder's road graph (map.tvr), headless.
//   tvmroute FOLDER --from LON,LAT --to LON,LAT [--gpx OUT.gpx]
//   tvmroute --bench FOLDER [--pairs N]
#include "tools/tvmroute/bench.hpp"
#include "tools/tvmroute/route_output.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace {

using namespace tevo;

// A position farther than this from every road has no route.
constexpr double kMaxSnapMetres = 500;

const char kUsage[] = "Usage: tvmroute FOLDER --from LON,LAT --to LON,LAT [--gpx OUT.gpx]\n"
                      "       tvmroute --bench FOLDER [--pairs N]\n"
                      "\n"
                      "Routes by car on the road graph of a program folder (FOLDER/map.tvr, or a\n"
                      ".tvr file named directly) and prints the fastest route as one JSON object:\n"
                      "distance_m, duration_s, points ([lon, lat] each) and steps (maneuver,\n"
                      "street, distance_m). Each position is moved onto the nearest road; one\n"
                      "farther than 500 m from every road, or a destination that cannot be\n"
                      "reached, prints {\"error\": ...} and exits with 1.\n"
                      "\n"
                      "  --gpx OUT.gpx   also write the route as a GPX file (steps and line)\n"
                      "  --bench         route between 1000 random road positions (a fixed seed)\n"
                      "                  and print the median and 95th percentile query time,\n"
                      "                  the graph's size and the peak memory\n"
                      "  --pairs N       the number of pairs for --bench\n";

struct Args {
    std::string folder, gpx;
    std::optional<route::LonLat> from, to;
    bool bench = false, help = false;
    int pairs = tvmroute::kBenchPairs;
};

bool fail(std::string& error, std::string text) {
    error = std::move(text);
    return false;
}

std::optional<route::LonLat> parsePosition(const char* text) {
    char* end = nullptr;
    errno = 0;
    const double lon = std::strtod(text, &end);
    if (end == text || *end != ',') return std::nullopt;
    const char* rest = end + 1;
    const double lat = std::strtod(rest, &end);
    if (end == rest || *end != '\0' || errno != 0 || !std::isfinite(lon) || !std::isfinite(lat) ||
        std::abs(lon) > 180 || std::abs(lat) > 90)
        return std::nullopt;
    return route::LonLat{lon, lat};
}

bool parseArgs(int argc, char** argv, Args& args, std::string& error) {
    for (int i = 1; i < argc; ++i) {
        const std::string_view a = argv[i];
        const bool hasValue = i + 1 < argc;
        if (a == "-h" || a == "--help") {
            args.help = true;
        } else if (a == "--bench") {
            args.bench = true;
        } else if ((a == "--from" || a == "--to") && hasValue) {
            auto& slot = a == "--from" ? args.from : args.to;
            if (!(slot = parsePosition(argv[++i])))
                return fail(error, std::string(a) + " needs LON,LAT in degrees");
        } else if (a == "--gpx" && hasValue) {
            args.gpx = argv[++i];
        } else if (a == "--pairs" && hasValue) {
            args.pairs = std::atoi(argv[++i]);
            if (args.pairs < 1) return fail(error, "--pairs needs a positive number");
        } else if (!a.empty() && a[0] != '-' && args.folder.empty()) {
            args.folder = a;
        } else {
            return fail(error, "unexpected argument " + std::string(a) + " (see tvmroute --help)");
        }
    }
    if (args.help) return true;
    if (args.folder.empty()) return fail(error, "no program folder given (see tvmroute --help)");
    if (!args.bench && (!args.from || !args.to))
        return fail(error, "--from and --to are both needed (see tvmroute --help)");
    return true;
}

std::string graphPath(const std::string& folder) {
    struct stat st {};
    const bool isFolder = ::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
    return isFolder ? folder + "/map.tvr" : folder;
}

int routeOnce(const route::cRoadGraph& graph, const Args& args) {
    const auto from = route::snapToRoad(graph, *args.from, kMaxSnapMetres);
    const auto to = route::snapToRoad(graph, *args.to, kMaxSnapMetres);
    const char* far = !from ? "the start" : !to ? "the destination" : nullptr;
    if (far) {
        tvmroute::printError(stdout, std::string(far) + " is farther than 500 m from any road");
        return 1;
    }
    route::cRouter router(graph);
    route::Route r;
    if (!router.route(*from, *to, r)) {
        tvmroute::printError(stdout, "no route between the two positions");
        return 1;
    }
    std::string error;
    if (!args.gpx.empty() && !tvmroute::writeGpx(args.gpx, r, &error)) {
        tvmroute::printError(stdout, error);
        return 1;
    }
    tvmroute::printRoute(stdout, r);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    Args args;
    std::string error;
    if (!parseArgs(argc, argv, args, error)) {
        std::fprintf(stderr, "tvmroute: %s\n", error.c_str());
        return 2;
    }
    if (args.help) {
        std::fputs(kUsage, stdout);
        return 0;
    }
    route::cRoadGraph graph;
    if (!graph.open(graphPath(args.folder), &error)) {
        if (args.bench) {
            std::fprintf(stderr, "tvmroute: %s\n", error.c_str());
        } else {
            tvmroute::printError(stdout, error);
        }
        return 1;
    }
    return args.bench ? tvmroute::runBench(stdout, graph, args.pairs) : routeOnce(graph, args);
}
