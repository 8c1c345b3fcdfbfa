#include "tools/tvmc/road_graph/road_graph.hpp"

#include "tools/tvmc/progress.hpp"
#include "tools/tvmc/release.hpp"
#include "tools/tvmc/road_graph/contraction.hpp"
#include "tools/tvmc/road_graph/road_network.hpp"
#include "tools/tvmc/road_graph/spatial_index.hpp"
#include "tools/tvmc/road_graph/tvr_writer.hpp"

#include <chrono>
#include <cinttypes>
#include <functional>
#include <sys/stat.h>

namespace tevo::tvmc {

std::string roadGraphPath(const std::string& mapPath) {
    const std::size_t slash = mapPath.find_last_of('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    if (mapPath.size() > nameStart + 4 && mapPath.ends_with(".tvm"))
        return mapPath.substr(0, mapPath.size() - 4) + ".tvr";
    return mapPath + ".tvr";
}

namespace {

// What only the file needs (the junctions' positions, the edges' shapes)
// waits in a scratch file while the junctions are contracted.
class FileOnlyAside {
public:
    FileOnlyAside(RoadNetwork& net, ScratchSpace& scratch) : net_(net), spool_(scratch, 0) {
        put(net.junctions);
        put(net.points);
        put(net.pointFirst);
    }

    // In the order they were put aside; false when the scratch file failed.
    bool restore() { return take(net_.junctions) && take(net_.points) && take(net_.pointFirst); }

private:
    template <typename T> void put(std::vector<T>& v) {
        sizes_.push_back(v.size());
        spool_.append(v.data(), v.size() * sizeof(T));
        release(v);
    }
    template <typename T> bool take(std::vector<T>& v) {
        v.resize(sizes_[taken_++]);
        const uint64_t n = v.size() * sizeof(T);
        const bool read = n == 0 || spool_.read(at_, v.data(), n);
        at_ += n;
        return read;
    }

    RoadNetwork& net_;
    ByteSpool spool_;
    std::vector<std::size_t> sizes_;
    std::size_t taken_ = 0;
    uint64_t at_ = 0; // where the next one taken back lies in the spool
};

} // namespace

bool compileRoadGraph(RoadCollection&& roads, const std::string& path, ScratchSpace& scratch,
                      uint64_t shortcutMemory, RoadGraphStats& stats, std::string* error,
                      ProgressLine* progress) {
    const auto started = std::chrono::steady_clock::now();
    stats.output = path;
    stats.restrictions = roads.restrictionStats;
    if (progress) progress->startPass("road graph", 4, "junctions");
    RoadNetwork net = buildNetwork(std::move(roads), stats.restrictions);
    roads = RoadCollection{};
    std::function<void(uint32_t)> contracted;
    const double junctions = static_cast<double>(net.junctions.size());
    if (progress)
        contracted = [progress, junctions](uint32_t done) {
            progress->update(done, done / junctions);
        };
    {
        FileOnlyAside aside(net, scratch);
        // What the collection and the set-aside arrays held goes back to the
        // system before the contraction lays out its own.
        returnFreeMemory();
        contractNetwork(net, scratch, shortcutMemory, contracted);
        if (!aside.restore() || scratch.failed()) {
            if (error) *error = scratch.problem();
            return false;
        }
    }
    const std::vector<tvr::Box> index = buildIndexBoxes(net);
    if (!writeRoadGraph(path, net, index, error)) return false;
    stats.roadNodes = net.roadNodes;
    stats.junctions = net.junctions.size();
    stats.edges = net.edges.size();
    const route::BaseGraph base = net.base();
    for (route::NodeId x = 0; x < base.nodeCount(); ++x) stats.directions += base.usable(x);
    stats.shortcuts = net.shortcuts.size();
    stats.bannedTurns = net.bans.size();
    struct stat st {};
    stats.bytes = ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
    stats.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}

void printRoadGraphSummary(std::FILE* out, const RoadGraphStats& s) {
    const RestrictionStats& r = s.restrictions;
    std::fprintf(out,
                 "road graph: %" PRIu64 " road nodes, %" PRIu64 " junctions, %" PRIu64
                 " edges, %" PRIu64 " directions of travel, %" PRIu64 " shortcuts\n",
                 s.roadNodes, s.junctions, s.edges, s.directions, s.shortcuts);
    std::fprintf(out,
                 "turn restrictions: %" PRIu64 " for cars, %" PRIu64 " applied (%" PRIu64
                 " banned turns); left out: %" PRIu64 " with a via way, %" PRIu64
                 " malformed, %" PRIu64 " not on drivable roads\n",
                 r.read, r.applied, s.bannedTurns, r.viaWays, r.malformed, r.unmatched);
    const double perNode = s.directions ? double(s.bytes) / double(s.directions) : 0;
    std::fprintf(out, "wrote %s: %" PRIu64 " bytes (%.1f per direction of travel) in %.2f s\n",
                 s.output.c_str(), s.bytes, perNode, s.seconds);
}

} // namespace tevo::tvmc
