// tvmsearch FOLDER QUERY [--near LON,LAT] [--limit N]
// tvmsearch --bench FOLDER [--prefixes N] [--rounds N]
//
// Searches the name index of a program folder (its map.tvn; a .tvn file may
// be named instead) as the navigator does while a name is typed, and prints
// the ranked hits as JSON lines. --bench times prefixes of the index's own
// names (bench.hpp).
#include "search/name_query.hpp"
#include "tools/tvmsearch/bench.hpp"
#include "tools/tvmsearch/json_lines.hpp"

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>
#include <sys/stat.h>

namespace tevo::search {
namespace {

constexpr int kExitOk = 0;
constexpr int kExitFailed = 1;
constexpr int kExitUsage = 2;

const char kUsage[] = "Usage: tvmsearch FOLDER QUERY [--near LON,LAT] [--limit N]\n"
                      "       tvmsearch --bench FOLDER [--prefixes N] [--rounds N]\n"
                      "\n"
                      "Searches the name index (map.tvn) of a program folder, or the .tvn file\n"
                      "named, for the words of QUERY as typed (the last one may be unfinished),\n"
                      "and prints the hits best first, one JSON object a line: rank, kind (place,\n"
                      "street, area, poi), name, town, lon, lat, distance_m, type, exact_words.\n"
                      "\n"
                      "  --near LON,LAT   measure distances from here (degrees; default: the\n"
                      "                   middle of the index)\n"
                      "  --limit N        print at most N hits (default 20)\n"
                      "  --bench          time N prefixes of the index's own names (default\n"
                      "                   1000), each searched anew and typed key by key, in\n"
                      "                   ROUNDS rounds (default 3), against a plain scan of\n"
                      "                   every name; prints medians\n";

struct Options {
    std::string folder, query;
    std::optional<std::pair<double, double>> near;
    std::size_t limit = kDefaultHitLimit;
    bool bench = false;
    BenchOptions benchOptions;
};

bool number(const char* text, double& v) {
    char* end = nullptr;
    errno = 0;
    v = std::strtod(text, &end);
    return end != text && *end == '\0' && errno == 0 && std::isfinite(v);
}

bool count(const char* text, std::size_t& n) {
    double v = 0;
    if (!number(text, v) || v < 1 || v > 1e7 || v != std::floor(v)) return false;
    n = static_cast<std::size_t>(v);
    return true;
}

bool position(const std::string& text, std::pair<double, double>& p) {
    const std::size_t comma = text.find(',');
    if (comma == std::string::npos) return false;
    return number(text.substr(0, comma).c_str(), p.first) &&
           number(text.substr(comma + 1).c_str(), p.second) && std::fabs(p.first) <= 180 &&
           std::fabs(p.second) <= 90;
}

// False with a message for a usage error.
bool parse(int argc, char** argv, Options& o, std::string& error) {
    std::vector<std::string> free;
    for (int i = 1; i < argc; ++i) {
        const std::string_view arg = argv[i];
        const bool valued =
            arg == "--near" || arg == "--limit" || arg == "--prefixes" || arg == "--rounds";
        if (valued && i + 1 >= argc) {
            error = std::string(arg) + " needs a value";
            return false;
        }
        std::pair<double, double> p;
        if (arg == "--bench") {
            o.bench = true;
        } else if (arg == "--near") {
            if (!position(argv[++i], p)) {
                error = "--near needs a position: longitude,latitude in degrees";
                return false;
            }
            o.near = p;
        } else if (arg == "--limit" || arg == "--prefixes" || arg == "--rounds") {
            std::size_t& n = arg == "--limit"      ? o.limit
                             : arg == "--prefixes" ? o.benchOptions.prefixes
                                                   : o.benchOptions.rounds;
            if (!count(argv[++i], n)) {
                error = std::string(arg) + " needs a whole number from 1";
                return false;
            }
        } else if (arg.size() > 1 && arg[0] == '-' && arg != "-") {
            error = "unknown option " + std::string(arg);
            return false;
        } else {
            free.emplace_back(arg);
        }
    }
    if (free.size() != (o.bench ? 1u : 2u)) {
        error = o.bench ? "--bench needs one FOLDER" : "FOLDER and QUERY are needed";
        return false;
    }
    o.folder = free[0];
    if (!o.bench) o.query = free[1];
    return true;
}

std::string indexPathOf(const std::string& folder) {
    struct stat st {};
    if (::stat(folder.c_str(), &st) == 0 && S_ISDIR(st.st_mode)) return folder + "/map.tvn";
    return folder;
}

int searchOnce(const cNameIndex& index, const Options& o) {
    cNameQuery query(index);
    if (o.near) query.setOrigin(o.near->first, o.near->second);
    query.setLimit(o.limit);
    const std::vector<NameHit>& hits = query.search(std::string_view(o.query));
    for (std::size_t i = 0; i < hits.size(); ++i) printHit(stdout, i + 1, hits[i]);
    return kExitOk;
}

} // namespace
} // namespace tevo::search

int main(int argc, char** argv) {
    using namespace tevo::search;
    if (argc == 2 && (std::string_view(argv[1]) == "--help" || std::string_view(argv[1]) == "-h")) {
        std::fputs(kUsage, stdout);
        return kExitOk;
    }
    Options options;
    std::string error;
    if (!parse(argc, argv, options, error)) {
        std::fprintf(stderr, "tvmsearch: %s\n%s", error.c_str(), kUsage);
        return kExitUsage;
    }
    const std::string path = indexPathOf(options.folder);
    cNameIndex index;
    if (!index.open(path, &error)) {
        std::fprintf(stderr, "tvmsearch: %s\n", error.c_str());
        return kExitFailed;
    }
    if (options.bench) return runBench(index, path, options.benchOptions);
    return searchOnce(index, options);
}
