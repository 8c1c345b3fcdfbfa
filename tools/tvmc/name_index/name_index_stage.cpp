#include "tools/tvmc/name_index/name_index_stage.hpp"

#include "platform/file_output.hpp"
#include "search/tvn_writer.hpp"
#include "tools/tvmc/name_index/street_merge.hpp"
#include "tools/tvmc/name_index/town_finder.hpp"

#include <chrono>
#include <cinttypes>
#include <cstring>
#include <unordered_map>

namespace tevo::tvmc {

namespace {

using search::NameEntry;
using search::NameKind;

std::string textOf(const NamePool& names, uint32_t id) {
    return id == kNoName ? std::string() : std::string(names.text(id));
}

// A place mapped both as a node and as an area is named once, by its node.
bool hasNodeInside(const PlaceArea& area,
                   const std::unordered_map<uint32_t, std::vector<TvmPoint>>& placeNodes) {
    const auto nodes = placeNodes.find(area.name);
    if (nodes == placeNodes.end()) return false;
    for (const TvmPoint& p : nodes->second)
        if (p.x >= area.box.x0 && p.x <= area.box.x1 && p.y >= area.box.y0 && p.y <= area.box.y1)
            return true;
    return false;
}

std::vector<NameEntry> entriesOf(NameStore& store) {
    findTowns(store);
    std::vector<NamedPoint> points = std::move(store.points);
    mergeStreets(store.pieces, points);
    std::unordered_map<uint32_t, std::vector<TvmPoint>> placeNodes;
    for (const NamedPoint& p : points)
        if (p.kind == NameKind::Place) placeNodes[p.name].push_back(p.at);
    for (const PlaceArea& a : store.placeAreas)
        if (!hasNodeInside(a, placeNodes))
            points.push_back({a.name, kNoName, a.town, a.label, a.type, NameKind::Place, a.rank});
    std::vector<NameEntry> entries;
    entries.reserve(points.size());
    for (const NamedPoint& p : points) {
        // A town of the same name as the place says nothing.
        const uint32_t town = p.town == p.name ? kNoName : p.town;
        entries.push_back({p.kind, p.type, p.at.x, p.at.y, textOf(store.names, p.name),
                           textOf(store.names, town)});
    }
    return entries;
}

} // namespace

std::string nameIndexPath(const std::string& mapPath) {
    const std::size_t slash = mapPath.find_last_of('/');
    const std::size_t nameAt = slash == std::string::npos ? 0 : slash + 1;
    if (mapPath.size() > nameAt + 4 && mapPath.ends_with(".tvm"))
        return mapPath.substr(0, mapPath.size() - 4) + ".tvn";
    return mapPath + ".tvn";
}

std::string buildNameIndex(NameStore& store, NameIndexSummary& summary) {
    const auto started = std::chrono::steady_clock::now();
    summary.memory = store.bytes();
    summary.records = store.points.size() + store.pieces.size() + store.placeAreas.size();
    summary.texts = store.names.size();
    summary.streetPieces = store.pieces.size();
    std::vector<NameEntry> entries = entriesOf(store);
    store = NameStore();
    for (const NameEntry& e : entries) {
        ++summary.entries[static_cast<int>(e.kind)];
        summary.withTown += e.town.empty() ? 0 : 1;
    }
    std::string bytes = search::encodeNameIndex(std::move(entries));
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return bytes;
}

bool writeNameIndex(const std::string& bytes, const std::string& path, NameIndexSummary& summary,
                    std::string* error) {
    summary.path = path;
    if (bytes.empty()) {
        if (error) *error = path + ": the name index would exceed 4 GiB";
        return false;
    }
    ReplacementFile out;
    if (!out.create(path, error)) return false;
    if (std::fwrite(bytes.data(), 1, bytes.size(), out.stream()) != bytes.size()) {
        if (error) *error = out.temporaryPath() + ": " + std::strerror(errno);
        return false;
    }
    if (!out.commit(error)) return false;
    summary.bytes = bytes.size();
    return true;
}

void printNameIndexSummary(std::FILE* out, const NameIndexSummary& s, uint64_t mapBytes) {
    std::fprintf(out,
                 "names: %" PRIu64 " places, %" PRIu64 " streets (from %" PRIu64
                 " named ways), %" PRIu64 " areas, %" PRIu64 " POIs; %" PRIu64
                 " with a town; %" PRIu64 " named objects, %" PRIu64
                 " texts, %.1f MB (%.0f bytes an object)\n",
                 s.entries[0], s.entries[1], s.streetPieces, s.entries[2], s.entries[3], s.withTown,
                 s.records, s.texts, static_cast<double>(s.memory) / 1e6,
                 s.records ? static_cast<double>(s.memory) / static_cast<double>(s.records) : 0.0);
    std::fprintf(out, "wrote %s: %" PRIu64 " bytes (%.1f %% of the map), built in %.2f s\n",
                 s.path.c_str(), s.bytes,
                 mapBytes ? 100.0 * static_cast<double>(s.bytes) / static_cast<double>(mapBytes)
                          : 0.0,
                 s.seconds);
}

} // namespace tevo::tvmc
