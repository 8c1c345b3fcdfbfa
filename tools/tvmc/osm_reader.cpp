#include "tools/tvmc/osm_reader.hpp"

#include "tools/tvmc/area_manager.hpp"
#include "tools/tvmc/coordinate_scan.hpp"
#include "tools/tvmc/feature_collector.hpp"
#include "tools/tvmc/location_store.hpp"
#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/osm_observer.hpp"
#include "tools/tvmc/progress.hpp"
#include "tools/tvmc/read_ahead.hpp"
#include "tools/tvmc/scratch.hpp"
#include "tools/tvmc/work_stage.hpp"

#include "platform/paths.hpp"
#include "platform/regular_file.hpp"

#include <osmium/handler.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unordered_set>

namespace tevo::tvmc {

namespace {

constexpr const char* kReadAheadBuffers = "4";
constexpr int kMinDecoderThreads = 2;
// Buffers of ways that the area stage may be behind the reading: enough to
// even out the work of both sides; each holds a few thousand objects.
constexpr std::size_t kStageBuffers = 8;
// Buffers of assembled areas that the drawing may be behind the assembly:
// each holds a megabyte or so of areas.
constexpr std::size_t kDrawBuffers = 2;

uint64_t fileSize(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// The first pass: every node's location into the store and its POI, the
// relations to the area manager (by the caller) and the observers.
class FirstPass : public osmium::handler::Handler {
public:
    FirstPass(LocationStore& store, FeatureCollector& collector, const ReadOptions& options,
              ReadStats& stats)
        : store_(store), collector_(collector), observers_(options.observers), stats_(stats) {}

    void node(const osmium::Node& node) {
        const osmium::Location loc = node.location();
        if (loc.valid()) store_.set(node.id(), {loc.x(), loc.y()});
        collector_.node(node);
        for (OsmObserver* o : observers_) o->node(node);
        ++objects;
    }
    void relation(const osmium::Relation& relation) {
        ++stats_.relations;
        for (OsmObserver* o : observers_) o->relation(relation);
        ++objects;
    }

    uint64_t objects = 0;

private:
    LocationStore& store_;
    FeatureCollector& collector_;
    const std::vector<OsmObserver*>& observers_;
    ReadStats& stats_;
};

// The second pass, on the reading thread: each way gets its nodes'
// locations from the store and goes to the lines.
class WayLines : public osmium::handler::Handler {
public:
    WayLines(LocationStore& store, FeatureCollector& collector)
        : store_(store), collector_(collector) {}

    void way(osmium::Way& way) {
        for (osmium::NodeRef& ref : way.nodes()) {
            NodeLocation loc;
            ref.set_location(store_.get(ref.ref(), loc) ? osmium::Location{loc.x, loc.y}
                                                        : osmium::Location{});
        }
        collector_.way(way);
        ++objects;
    }

    uint64_t objects = 0;

private:
    LocationStore& store_;
    FeatureCollector& collector_;
};

// The second pass, on a thread of its own a few buffers behind: the ways
// with their locations go to the area assembly and the observers. A way
// under an id that a relation's member way already came with is kept from
// the area assembly: libosmium counts each copy as a found member, so a
// relation would look complete with a member still missing.
template <typename TAreas> class WayAreas : public osmium::handler::Handler {
public:
    WayAreas(AreaManager& manager, TAreas& areas, const ReadOptions& options)
        : manager_(manager), areas_(areas), observers_(options.observers) {}

    void way(const osmium::Way& way) {
        if (manager_.firstCopyOfMember(way.id())) areas_.way(way);
        for (OsmObserver* o : observers_) o->way(way);
    }

private:
    AreaManager& manager_;
    TAreas& areas_;
    const std::vector<OsmObserver*>& observers_;
};

// Nodes whose coordinates the parser misread lose their location, so that
// they count as invalid and their ways as missing a node.
void forgetLocations(osmium::memory::Buffer& buffer, const std::unordered_set<int64_t>& ids) {
    for (osmium::Node& node : buffer.select<osmium::Node>())
        if (ids.count(node.id())) node.set_location(osmium::Location{});
}

// Reads every input once with the given kinds of objects; `each` sees every
// buffer and answers the objects read so far. The first input comes from
// `ahead` where the pass has one.
template <typename TEach>
void readPass(const std::vector<std::string>& inputs, osmium::osm_entity_bits::type kinds,
              const ReadOptions& options, uint64_t totalBytes, std::string& current,
              ReadAhead* ahead, TEach&& each) {
    uint64_t done = 0;
    for (const std::string& path : inputs) {
        current = path;
        std::optional<osmium::io::Reader> own;
        osmium::io::Reader* reader = nullptr;
        osmium::memory::Buffer buffer;
        if (ahead && &path == &inputs.front()) {
            reader = &ahead->reader();
            buffer = ahead->first();
        } else {
            reader = &own.emplace(osmium::io::File{path}, kinds, osmium::io::read_meta::no);
            buffer = reader->read();
        }
        for (; buffer; buffer = reader->read()) {
            const uint64_t objects = each(buffer, path);
            if (options.progress && totalBytes > 0)
                options.progress->update(objects,
                                         static_cast<double>(done + reader->offset()) / totalBytes);
        }
        reader->close();
        done += fileSize(path);
    }
}

uint64_t locationShare(const ReadOptions& options) {
    switch (options.locations) {
    case LocationPlace::Memory:
        return UINT64_MAX;
    case LocationPlace::Disk:
        return 0;
    case LocationPlace::Automatic:
        break;
    }
    return options.budget->locationShare();
}

// Once the node locations are all in memory, what they left of their share
// goes to the outputs beside the map, in equal parts: a large input's road
// graph or name index then fits the default bound where the locations are
// smaller than their share allows.
void lendSpare(const ReadOptions& options, const LocationStore& store) {
    if (options.locations != LocationPlace::Automatic || store.onDisk() ||
        options.observers.empty())
        return;
    const uint64_t spare = options.budget->spareAfterLocations(store.bytes());
    for (OsmObserver* o : options.observers)
        o->widenShare(spare / options.observers.size(), store.bytes());
}

// Pass 1: the nodes into the store and the relations into the manager.
void readNodesAndRelations(const std::vector<std::string>& inputs, const ReadOptions& options,
                           ReadStats& stats, FeatureCollector& collector, LocationStore& store,
                           AreaManager& manager, std::string& current) {
    if (options.progress) options.progress->startPass("nodes and relations", 1);
    FirstPass first(store, collector, options, stats);
    std::unordered_set<int64_t> misread;
    std::string scanned;
    readPass(inputs, osmium::osm_entity_bits::node | osmium::osm_entity_bits::relation, options,
             stats.bytes, current, nullptr,
             [&](osmium::memory::Buffer& buffer, const std::string& path) {
                 if (path != scanned) {
                     misread = scanMisreadNodes(path);
                     scanned = path;
                 }
                 if (!misread.empty()) forgetLocations(buffer, misread);
                 osmium::apply(buffer, first, manager);
                 return first.objects;
             });
    collector.flush();
}

// Pass 2: the ways with their nodes' locations, and the areas. The lines
// are made on the reading thread; the areas are assembled from the same
// buffers and in the same order on a stage of their own, which also shows
// the observers every way and area; a third stage, with a collector of its
// own, makes the map's features of the assembled areas. The assembly is the
// longest of the three: the reading waits for it most of the pass.
void readWays(const std::vector<std::string>& inputs, const ReadOptions& options, ReadStats& stats,
              FeatureCollector& collector, LocationStore& store, AreaManager& manager,
              ReadAhead* ahead, std::string& current) {
    if (options.progress) options.progress->startPass("ways and areas", 2);
    FeatureCollector areaCollector(options, stats);
    WorkStage<osmium::memory::Buffer> drawStage(
        [&areaCollector](osmium::memory::Buffer& areas) { osmium::apply(areas, areaCollector); },
        kDrawBuffers);
    auto& assembled = manager.handler([&drawStage, &options](osmium::memory::Buffer&& areas) {
        for (const osmium::Area& area : areas.select<osmium::Area>())
            for (OsmObserver* o : options.observers) o->area(area);
        drawStage.add(std::move(areas));
    });
    WayAreas areas(manager, assembled, options);
    WorkStage<osmium::memory::Buffer> areaStage(
        [&areas](osmium::memory::Buffer& buffer) { osmium::apply(buffer, areas); }, kStageBuffers);
    WayLines lines(store, collector);
    readPass(inputs, osmium::osm_entity_bits::way, options, stats.bytes, current, ahead,
             [&](osmium::memory::Buffer& buffer, const std::string&) {
                 osmium::apply(buffer, lines);
                 areaStage.add(std::move(buffer));
                 return lines.objects;
             });
    collector.flush();
    areaStage.finish();
    manager.flush_output();
    drawStage.finish();
    areaCollector.flush();
}

// Both passes; false with a message in *problem.
bool readAll(const std::vector<std::string>& inputs, const ReadOptions& options, ReadStats& stats,
             FeatureCollector& collector, std::string& current, std::string* problem) {
    osmium::area::Assembler::config_type config;
    AreaManager manager{config};
    LocationStore store(*options.scratch, *options.budget, locationShare(options));
    std::optional<ReadAhead> ahead;
    if (!inputs.empty()) ahead.emplace(inputs.front(), osmium::osm_entity_bits::way);
    readNodesAndRelations(inputs, options, stats, collector, store, manager, current);
    store.seal();
    stats.locationBytes = store.bytes();
    stats.locationsOnDisk = store.onDisk();
    lendSpare(options, store);
    if (options.scratch->failed()) {
        *problem = options.scratch->problem();
        return false;
    }
    manager.prepare_for_lookup();
    manager.prepareMembers();
    readWays(inputs, options, stats, collector, store, manager, ahead ? &*ahead : nullptr, current);
    if (options.scratch->failed()) {
        *problem = options.scratch->problem();
        return false;
    }
    stats.relationsTooLarge = manager.tooLarge();
    for (OsmObserver* o : options.observers)
        if (std::string why; !o->finish(&why)) stats.leftOut.emplace_back(o, why);
    return true;
}

// libosmium decodes ahead of the handlers into queues of 20 buffers by
// default; on large inputs those buffers, not the map, set the peak memory.
// A few are enough to keep the decoder busy. It decodes on a pool of all
// cores but two, at least one: on two cores the nodes of pass 1 come
// faster than one thread decodes them, so the pool gets two threads at
// least. Its settings come from the environment, where a user's own choice
// wins.
void configureDecoder() {
    ::setenv("OSMIUM_MAX_INPUT_QUEUE_SIZE", kReadAheadBuffers, 0);
    ::setenv("OSMIUM_MAX_OSMDATA_QUEUE_SIZE", kReadAheadBuffers, 0);
    const int cores = static_cast<int>(std::thread::hardware_concurrency());
    const std::string threads = std::to_string(std::max(kMinDecoderThreads, cores - 2));
    ::setenv("OSMIUM_POOL_THREADS", threads.c_str(), 0);
}

} // namespace

bool readOsm(const std::vector<std::string>& inputs, const ReadOptions& options, ReadStats& stats,
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
        stats.bytes += fileSize(path);
    }
    configureDecoder();
    FeatureCollector collector(options, stats);
    std::string current;
    try {
        std::string problem;
        if (!readAll(inputs, options, stats, collector, current, &problem)) return fail(problem);
    } catch (const std::exception& e) {
        return fail(current + ": not readable as OpenStreetMap data: " + e.what());
    }
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
