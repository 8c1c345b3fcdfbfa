#include "tools/tvmc/osm_reader.hpp"

#include "tools/tvmc/area_manager.hpp"
#include "tools/tvmc/clip.hpp"
#include "tools/tvmc/coordinate_scan.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/type_table.hpp"

#include "platform/paths.hpp"
#include "platform/regular_file.hpp"

#include <osmium/handler.hpp>
#include <osmium/handler/node_locations_for_ways.hpp>
#include <osmium/index/map/flex_mem.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/osm/area.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <sys/stat.h>
#include <unordered_set>

namespace tevo::tvmc {

namespace {

using LocationIndex =
    osmium::index::map::FlexMem<osmium::unsigned_object_id_type, osmium::Location>;
// Editors save objects that are not uploaded yet with negative ids: they get
// an index of their own.
using LocationHandler = osmium::handler::NodeLocationsForWays<LocationIndex, LocationIndex>;

constexpr const char* kReadAheadBuffers = "4";

TagGet tagsOf(const osmium::TagList& tags) {
    return [&tags](const char* key) { return tags.get_value_by_key(key); };
}

TvmPoint toUnits(const osmium::Location& loc) {
    return toMapUnits(loc.lon(), loc.lat());
}

// Turns OSM objects into features; areas arrive from the area manager.
class FeatureCollector : public osmium::handler::Handler {
public:
    FeatureCollector(const ReadOptions& options, ReadResult& result)
        : options_(options), result_(result) {}

    void node(const osmium::Node& node) {
        ++result_.stats.nodes;
        source_ = {node.id(), 0, SourceRef::Node};
        const osmium::Location loc = node.location();
        if (!loc.valid()) {
            ++result_.stats.invalidLocations;
            return;
        }
        const TvmPoint p = toUnits(loc);
        if (!inCut(p)) return;
        if (loc.lat() < 0 && !southSeen_) {
            southSeen_ = true;
            southLat_ = loc.lat();
        }
        if (node.tags().empty()) return;
        const TagGet tags = tagsOf(node.tags());
        if (auto choice = poiType(tags)) addPoi(*choice, objectName(tags, ObjectClass::Poi), p);
    }

    void way(const osmium::Way& way) {
        ++result_.stats.ways;
        if (options_.roads) options_.roads->way(way);
        source_ = {way.id(), 0, SourceRef::Way};
        std::vector<TvmPoint> points;
        points.reserve(way.nodes().size());
        for (const osmium::NodeRef& ref : way.nodes()) {
            if (!ref.location().valid()) {
                ++result_.stats.waysMissingNodes;
                return;
            }
            points.push_back(toUnits(ref.location()));
        }
        // A way of one node or none is no line, and libosmium must not be
        // asked whether an empty one is closed.
        if (points.size() < 2) return;
        const TagGet tags = tagsOf(way.tags());
        const char* area = tags("area");
        if (way.is_closed() && area && std::strcmp(area, "yes") == 0) return;
        const std::optional<TypeChoice> choice = polylineType(tags);
        if (!choice) return;
        addLine(*choice, objectName(tags, ObjectClass::Polyline), std::move(points));
    }

    void relation(const osmium::Relation& relation) {
        ++result_.stats.relations;
        if (options_.roads) options_.roads->relation(relation);
    }

    void area(const osmium::Area& area) {
        // The assembler hands on an area without rings where its rings
        // cross themselves or do not close, and a ring of fewer than three
        // distinct points holds no surface: such areas are counted apart.
        if (drawArea(area))
            ++result_.stats.areas;
        else
            ++result_.stats.areasBroken;
    }

    bool southSeen() const { return southSeen_; }
    double southLatitude() const { return southLat_; }

private:
    // False when no ring of the area could be used.
    bool drawArea(const osmium::Area& area) {
        bool drawn = false;
        source_ = {area.orig_id(), 0,
                   area.from_way() ? SourceRef::WayArea : SourceRef::RelationArea};
        const TagGet tags = tagsOf(area.tags());
        const std::u16string name = objectName(tags, ObjectClass::Polygon);
        const std::optional<TypeChoice> border = area.from_way() ? std::nullopt : borderType(tags);
        const std::optional<TypeChoice> poi = poiType(tags);
        for (const osmium::OuterRing& outer : area.outer_rings()) {
            Ring ring = ringOf(outer);
            if (ring.size() < 3) continue;
            drawn = true;
            if (border) {
                Ring line = ring;
                line.push_back(ring.front());
                addLine(*border, name, std::move(line));
                continue;
            }
            std::vector<Ring> holes;
            for (const osmium::InnerRing& inner : area.inner_rings(outer))
                holes.push_back(ringOf(inner));
            const double metres2 = ringArea(ring) * kMetresPerMapUnit * kMetresPerMapUnit *
                                   std::cos(outer.front().location().lat() * M_PI / 180.0);
            if (auto choice = polygonType(tags, metres2))
                addPolygon(*choice, name, joinHoles(ring, std::move(holes)));
            if (poi) addPoi(*poi, objectName(tags, ObjectClass::Poi), labelPoint(ring));
        }
        return drawn;
    }

    template <typename TRing> Ring ringOf(const TRing& osmRing) {
        Ring ring;
        ring.reserve(osmRing.size());
        for (const osmium::NodeRef& ref : osmRing) {
            if (!ref.location().valid()) return {};
            ring.push_back(toUnits(ref.location()));
        }
        dropDuplicates(ring, true);
        return ring;
    }

    bool inCut(TvmPoint p) const {
        if (!options_.cut) return true;
        const UnitRect& r = *options_.cut;
        return p.x >= r.x0 && p.x <= r.x1 && p.y >= r.y0 && p.y <= r.y1;
    }

    void add(ObjectClass cls, const TypeChoice& choice, std::u16string name,
             std::vector<TvmPoint> points) {
        result_.features.push_back(
            {cls, choice.type, choice.maxCellSeconds, std::move(name), std::move(points), source_});
        ++source_.part;
    }

    void addPoi(const TypeChoice& choice, std::u16string name, TvmPoint p) {
        if (!inCut(p)) return;
        add(ObjectClass::Poi, choice, std::move(name), {p});
    }

    void addLine(const TypeChoice& choice, const std::u16string& name,
                 std::vector<TvmPoint> points) {
        dropDuplicates(points, false);
        if (points.size() < 2) return;
        if (!options_.cut) {
            add(ObjectClass::Polyline, choice, name, std::move(points));
            return;
        }
        for (auto& piece : clipPolyline(points, *options_.cut))
            add(ObjectClass::Polyline, choice, name, std::move(piece));
    }

    void addPolygon(const TypeChoice& choice, const std::u16string& name, Ring ring) {
        if (options_.cut) ring = clipPolygon(ring, *options_.cut);
        if (ring.size() < 3) return;
        add(ObjectClass::Polygon, choice, name, std::move(ring));
    }

    const ReadOptions& options_;
    ReadResult& result_;
    SourceRef source_; // the object being read
    bool southSeen_ = false;
    double southLat_ = 0;
};

// Passes objects on to the area manager's handler, but a way under an id
// that a relation's member way already came with is held back.
template <typename TNext> class MemberWaysOnce : public osmium::handler::Handler {
public:
    MemberWaysOnce(AreaManager& manager, TNext& next) : manager_(manager), next_(next) {}
    void node(const osmium::Node& node) { next_.node(node); }
    void way(const osmium::Way& way) {
        if (manager_.firstCopyOfMember(way.id())) next_.way(way);
    }
    void relation(const osmium::Relation& relation) { next_.relation(relation); }
    void flush() { next_.flush(); }

private:
    AreaManager& manager_;
    TNext& next_;
};

uint64_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// Reports the share of all input bytes read; each file is read twice.
class ProgressTracker {
public:
    ProgressTracker(const ReadOptions& options, uint64_t totalBytes)
        : report_(options.progress), total_(static_cast<double>(totalBytes) * 2) {}
    void at(uint64_t offset) {
        if (report_ && total_ > 0)
            report_(std::min(1.0, (done_ + static_cast<double>(offset)) / total_));
    }
    void fileDone(uint64_t size) { done_ += static_cast<double>(size); }

private:
    std::function<void(double)> report_;
    double total_;
    double done_ = 0;
};

// Nodes whose coordinates the parser misread lose their location, so that
// they count as invalid and their ways as missing a node.
void forgetLocations(osmium::memory::Buffer& buffer, const std::unordered_set<int64_t>& ids) {
    for (osmium::Node& node : buffer.select<osmium::Node>())
        if (ids.count(node.id())) node.set_location(osmium::Location{});
}

void readAll(const std::vector<std::string>& inputs, const ReadOptions& options, ReadResult& result,
             FeatureCollector& collector, std::string& current) {
    osmium::area::Assembler::config_type config;
    AreaManager manager{config};
    ProgressTracker progress(options, result.stats.bytes);
    // 1. Relations: which multipolygons to build and which ways they need.
    for (const std::string& path : inputs) {
        current = path;
        osmium::io::Reader reader{osmium::io::File{path}, osmium::osm_entity_bits::relation};
        while (osmium::memory::Buffer buffer = reader.read()) {
            osmium::apply(buffer, manager);
            progress.at(reader.offset());
        }
        reader.close();
        progress.fileDone(fileSize(path));
    }
    manager.prepare_for_lookup();
    manager.prepareMembers();
    // 2. Everything: node locations, ways, assembled areas.
    LocationIndex index, negativeIndex;
    LocationHandler locations{index, negativeIndex};
    locations.ignore_errors(); // ways with missing nodes are counted and skipped
    auto& assembled = manager.handler(
        [&collector](osmium::memory::Buffer&& areas) { osmium::apply(areas, collector); });
    MemberWaysOnce areaHandler{manager, assembled};
    for (const std::string& path : inputs) {
        current = path;
        const std::unordered_set<int64_t> misread = scanMisreadNodes(path);
        osmium::io::Reader reader{osmium::io::File{path}};
        while (osmium::memory::Buffer buffer = reader.read()) {
            if (!misread.empty()) forgetLocations(buffer, misread);
            osmium::apply(buffer, locations, collector, areaHandler);
            progress.at(reader.offset());
        }
        reader.close();
        progress.fileDone(fileSize(path));
    }
    manager.flush_output();
    result.stats.relationsTooLarge = manager.tooLarge();
}

// libosmium decodes ahead of the handlers into queues of 20 buffers by
// default; on large inputs those buffers, not the map, set the peak memory.
// A few are enough to keep the decoder busy. Its settings come from the
// environment, where a user's own choice wins.
void limitReadAhead() {
    ::setenv("OSMIUM_MAX_INPUT_QUEUE_SIZE", kReadAheadBuffers, 0);
    ::setenv("OSMIUM_MAX_OSMDATA_QUEUE_SIZE", kReadAheadBuffers, 0);
}

} // namespace

bool readOsm(const std::vector<std::string>& inputs, const ReadOptions& options, ReadResult& result,
             std::string* error) {
    auto fail = [error](std::string text) {
        if (error) *error = std::move(text);
        return false;
    };
    for (const std::string& path : inputs) {
        // Every input is read twice, relations first: a pipe cannot be, and
        // opening one would wait for a writer.
        if (fileExists(path) && !isRegularFile(path))
            return fail(path + ": not a regular file (every input is read twice)");
        if (std::FILE* f = openRegularStream(path))
            std::fclose(f);
        else
            return fail(path + ": cannot open the file");
        result.stats.bytes += fileSize(path);
    }
    limitReadAhead();
    FeatureCollector collector(options, result);
    std::string current;
    try {
        readAll(inputs, options, result, collector, current);
    } catch (const std::exception& e) {
        return fail(current + ": not readable as OpenStreetMap data: " + e.what());
    }
    std::stable_sort(result.features.begin(), result.features.end(),
                     [](const Feature& a, const Feature& b) { return a.source < b.source; });
    if (collector.southSeen()) {
        char text[160];
        std::snprintf(text, sizeof text,
                      "the input reaches south of the equator (latitude %.5f); the map grid covers "
                      "the northern hemisphere only (cut it with --bbox)",
                      collector.southLatitude());
        return fail(text);
    }
    return true;
}

} // namespace tevo::tvmc
