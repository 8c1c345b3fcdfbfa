#include "route/route_maps.hpp"

#include "support/process.hpp"

#include <cmath>
#include <cstdio>
#include <map>
#include <memory>
#include <sstream>

namespace tevo::test {

namespace {

constexpr int kRunTimeoutMs = 120000;
constexpr double kLat0 = 55.8, kLon0 = 37.6;
constexpr double kLatStep = 0.0009;           // 100 m on the program's sphere
constexpr double kLonStep = 0.0009 / 0.56208; // the same at 55.8 degrees north

TempDir& scratch() {
    static TempDir dir;
    return dir;
}

} // namespace

RouteRun runTool(const std::string& program, const std::vector<std::string>& args) {
    std::vector<std::string> argv{std::string(TEVO_BIN_DIR) + "/" + program};
    argv.insert(argv.end(), args.begin(), args.end());
    ChildProcess child(argv);
    RouteRun r;
    r.code = child.wait(kRunTimeoutMs);
    r.out = child.output();
    r.err = child.errors();
    return r;
}

namespace {

std::string positionText(double x, double y, const char* separator) {
    char text[64];
    std::snprintf(text, sizeof text, "%.7f%s%.7f", kLon0 + x * kLonStep, separator,
                  kLat0 + y * kLatStep);
    return text;
}

// Tag values are written with '_' for a space.
std::string spaced(std::string value) {
    for (char& c : value)
        if (c == '_') c = ' ';
    return value;
}

} // namespace

std::string compiledFolder(const std::string& osmPath) {
    static std::map<std::string, std::string> done;
    auto it = done.find(osmPath);
    if (it != done.end()) return it->second;
    const std::string folder = scratch().file("map" + std::to_string(done.size()));
    scratch().makeFolder("map" + std::to_string(done.size()));
    const RouteRun r = runTool("tvmc", {"--quiet", osmPath, "-o", folder + "/map.tvm"});
    if (r.code != 0) std::fprintf(stderr, "tvmc %s failed: %s\n", osmPath.c_str(), r.err.c_str());
    return done[osmPath] = folder;
}

std::string townFolder() {
    const std::string osm = scratch().file("town.osm");
    static const bool made =
        runTool("roadnet", {"--towns", "2", "--seed", "7", "-o", osm}).code == 0;
    return made ? compiledFolder(osm) : std::string();
}

RouteRun runTvmroute(const std::vector<std::string>& args) {
    return runTool("tvmroute", args);
}

std::string gridPosition(double x, double y) {
    return positionText(x, y, ",");
}

std::string sketchMap(const std::string& sketch) {
    std::map<std::string, int> nodes;
    std::ostringstream osm, ways, relations;
    osm << "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n<osm version=\"0.6\">\n";
    std::istringstream lines(sketch);
    int wayId = 0, relationId = 0;
    for (std::string line; std::getline(lines, line);) {
        std::istringstream words(line);
        std::string head;
        if (!(words >> head)) continue;
        if (head == "way") {
            ways << "<way id=\"" << ++wayId << "\" version=\"1\">";
            for (std::string w; words >> w;) {
                const std::size_t eq = w.find('=');
                if (eq == std::string::npos)
                    ways << "<nd ref=\"" << nodes[w] << "\"/>";
                else
                    ways << "<tag k=\"" << w.substr(0, eq) << "\" v=\"" << spaced(w.substr(eq + 1))
                         << "\"/>";
            }
            ways << "</way>\n";
        } else if (head.starts_with("no_") || head.starts_with("only_")) {
            std::string from, via, to;
            words >> from >> via >> to;
            relations << "<relation id=\"" << ++relationId << "\" version=\"1\">"
                      << "<member type=\"way\" ref=\"" << from << "\" role=\"from\"/>"
                      << "<member type=\"node\" ref=\"" << nodes[via] << "\" role=\"via\"/>"
                      << "<member type=\"way\" ref=\"" << to << "\" role=\"to\"/>"
                      << "<tag k=\"type\" v=\"restriction\"/><tag k=\"restriction\" v=\"" << head
                      << "\"/></relation>\n";
        } else {
            double x = 0, y = 0;
            words >> x >> y;
            const int id = static_cast<int>(nodes.size()) + 1;
            nodes[head] = id;
            const std::string at = positionText(x, y, " ");
            osm << "<node id=\"" << id << "\" version=\"1\" lon=\"" << at.substr(0, at.find(' '))
                << "\" lat=\"" << at.substr(at.find(' ') + 1) << "\"/>\n";
        }
    }
    osm << ways.str() << relations.str() << "</osm>\n";
    return osm.str();
}

double jsonNumber(const std::string& json, const std::string& key) {
    const std::size_t at = json.find("\"" + key + "\": ");
    return at == std::string::npos ? NAN : std::atof(json.c_str() + at + key.size() + 4);
}

std::vector<std::string> jsonStrings(const std::string& json, const std::string& key) {
    std::vector<std::string> values;
    const std::string marker = "\"" + key + "\": \"";
    for (std::size_t at = json.find(marker); at != std::string::npos;
         at = json.find(marker, at + 1)) {
        const std::size_t begin = at + marker.size();
        values.push_back(json.substr(begin, json.find('"', begin) - begin));
    }
    return values;
}

} // namespace tevo::test
