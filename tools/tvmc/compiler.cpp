#include "tools/tvmc/compiler.hpp"

#include "platform/file_output.hpp"
#include "platform/text.hpp"
#include "tools/tvmc/block_store.hpp"
#include "tools/tvmc/feature_pipe.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/name_index/name_collector.hpp"
#include "tools/tvmc/progress.hpp"
#include "tools/tvmc/record_sort.hpp"
#include "tools/tvmc/release.hpp"
#include "tools/tvmc/road_graph/road_collector.hpp"
#include "tools/tvmc/road_graph/road_graph.hpp"
#include "tools/tvmc/start_cell.hpp"

#include <algorithm>
#include <chrono>
#include <memory>
#include <optional>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace tevo::tvmc {

namespace {

uint64_t sizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

std::string folderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Puts every feature onto every level as it is read: its records go into
// the record sort, numbered so that the sort restores the order of the
// objects they come from.
class LevelFeed {
public:
    LevelFeed(const Options& options, RecordSort& sort, std::vector<LevelStats>& stats)
        : sort_(sort) {
        stats.resize(options.levels.size());
        for (std::size_t i = 0; i < options.levels.size(); ++i) {
            plans_.push_back(levelPlanFor(options.levels[i], i == 0));
            cutters_.push_back(std::make_unique<LevelCutter>(plans_.back(), stats[i]));
        }
    }

    void add(Feature&& f) {
        drawing_ = drawing_ || f.cls != ObjectClass::Poi;
        RecordKey key;
        key.source = f.source;
        key.arrival = features_++;
        for (std::size_t level = 0; level < cutters_.size(); ++level) {
            key.level = static_cast<uint8_t>(level);
            key.piece = 0;
            cutters_[level]->cut(f, [&](int32_t cell, ObjectClass cls, TvmObject&& record) {
                key.cell = cell;
                sort_.add(key, cls, record);
                ++key.piece;
            });
        }
    }

    uint64_t features() const { return features_; }
    const std::vector<LevelPlan>& plans() const { return plans_; }
    bool drawing() const { return drawing_; }

    bool keysFit(std::string* error) const {
        for (const auto& cutter : cutters_)
            if (!cutter->keysFit()) {
                *error = cutter->keysProblem();
                return false;
            }
        return true;
    }

private:
    RecordSort& sort_;
    std::vector<LevelPlan> plans_;
    std::vector<std::unique_ptr<LevelCutter>> cutters_;
    uint64_t features_ = 0;
    bool drawing_ = false;
};

// The start level split so that its start cell is the one the reader
// starts on (see placeStartCell).
bool placeStart(const Options& options, const StoredLevel& level, std::vector<StoredLevel>& out,
                std::string* error) {
    int32_t startKey = densestCell(level);
    if (options.start) {
        const CellGrid grid(level.cellSeconds);
        const std::optional<int32_t> key =
            grid.keyOf(grid.cellOf(toMapUnits(options.start->lon, options.start->lat)));
        if (!key || !std::any_of(level.blocks.begin(), level.blocks.end(),
                                 [&](const StoredBlock& b) { return b.key == *key; })) {
            *error = "--start lies in a cell of the start level without objects";
            return false;
        }
        startKey = *key;
    }
    out = placeStartCell(level, startKey);
    return true;
}

// The index blocks in file order: every level in ascending cell size, the
// start level moved to the end. By default it is the finest level that
// keeps anything (an input of only huge areas leaves the finest levels
// empty).
bool orderLevels(const Options& options, const std::vector<StoredLevel>& levels,
                 std::vector<StoredLevel>& order, std::string* error) {
    std::vector<StoredLevel> start;
    for (const StoredLevel& level : levels) {
        const bool isStart = options.startLevel ? level.cellSeconds == *options.startLevel
                                                : start.empty() && !level.blocks.empty();
        if (!isStart) {
            if (!level.blocks.empty()) order.push_back(level);
            continue;
        }
        if (level.blocks.empty()) {
            *error = "the start level (" + std::to_string(level.cellSeconds) +
                     " arc-seconds) keeps no objects; choose a finer --start-level";
            return false;
        }
        if (!placeStart(options, level, start, error)) return false;
    }
    if (start.empty()) {
        *error = "no level keeps any object (areas that cover too many cells of every level are "
                 "left out): no map written";
        return false;
    }
    order.insert(order.end(), start.begin(), start.end());
    return true;
}

// The sorted records into blocks, and the blocks into the file.
bool writeMap(const Options& options, const LevelFeed& feed, RecordSort& sort,
              ScratchSpace& scratch, const MemoryBudget& budget, ProgressLine& progress,
              CompileSummary& summary, std::string* error) {
    progress.startPass("cells", 3);
    BlockStore blocks(scratch, budget.blockShare(), feed.plans(), summary.levels);
    uint64_t records = 0;
    sort.drain([&](const RecordKey& key, ObjectClass cls, TvmObject&& record) {
        blocks.add(key.level, key.cell, cls, std::move(record));
        ++records;
        progress.update(records, static_cast<double>(records) / sort.records());
    });
    summary.sortRuns = sort.runs();
    if (!blocks.finish(error)) return false;
    if (scratch.failed()) {
        *error = scratch.problem();
        return false;
    }
    std::vector<StoredLevel> order;
    if (!orderLevels(options, blocks.levels(), order, error)) return false;
    return blocks.write(options.output, toWide(*options.name), order, error);
}

} // namespace

bool compileMap(const Options& options, CompileSummary& summary, std::string* error) {
    std::string scratchText;
    if (!error) error = &scratchText;
    const auto started = std::chrono::steady_clock::now();
    summary.output = options.output;
    // A device or a pipe named as an output is refused before the work.
    const std::string namesPath = nameIndexPath(options.output);
    std::vector<std::string> outputs{options.output};
    if (options.nameIndex) outputs.push_back(namesPath);
    if (options.roadGraph) outputs.push_back(roadGraphPath(options.output));
    for (const std::string& out : outputs) {
        if (std::string problem = outputProblem(out); !problem.empty()) {
            *error = problem;
            return false;
        }
    }
    const MemoryBudget budget(options.memory ? *options.memory : defaultMemoryBound());
    ScratchSpace scratch(options.scratchDir ? *options.scratchDir : folderOf(options.output));
    // A scratch folder that cannot be used is told at once, not hours later.
    if (const int probe = scratch.open(); probe >= 0) ::close(probe);
    if (scratch.failed()) {
        *error = scratch.problem();
        return false;
    }
    ProgressLine progress(options.quiet ? nullptr : stderr);
    // Two passes over the input, one over the cells, and the road graph's
    // contraction, which on a large input takes longer than the rest.
    progress.setPassCount(3 + options.roadGraph);
    // An input file of more than half the sort's share holds more records
    // than the share when it is PBF (about 2.5 bytes of records a byte). XML
    // holds a tenth of that, so an XML file of one to four times the share
    // goes to disk where it would not have: a small cost beside reading that
    // much XML.
    uint64_t inputBytes = 0;
    for (const std::string& input : options.inputs) inputBytes += sizeOf(input);
    RecordSort sort(scratch, budget.sortShare(), inputBytes > budget.sortShare() / 2);
    LevelFeed feed(options, sort, summary.levels);

    ReadOptions readOptions;
    if (options.bbox) readOptions.cut = toUnitRect(*options.bbox);
    FeaturePipe pipe([&feed](Feature&& f) { feed.add(std::move(f)); });
    readOptions.features = [&pipe](std::vector<Feature>&& batch) { pipe.add(std::move(batch)); };
    readOptions.budget = &budget;
    readOptions.scratch = &scratch;
    readOptions.locations = options.locations;
    readOptions.progress = &progress;
    // The name index sees the same read, within its share of the bound.
    const uint64_t share = budget.outputShare(options.nameIndex + options.roadGraph);
    std::optional<NameCollector> names;
    if (options.nameIndex)
        readOptions.observers.push_back(&names.emplace(readOptions.cut, share, budget.bound()));
    // The road collector sees it too, within its share; the graph is built
    // after the map.
    std::optional<RoadCollector> roads;
    if (options.roadGraph)
        readOptions.observers.push_back(
            &roads.emplace(readOptions.cut, share, budget.graphBuildShare(), budget.bound()));
    const bool read = readOsm(options.inputs, readOptions, summary.read, error);
    pipe.finish();
    if (!read) return false;
    // An output whose collector outgrew its share is left out, so that a
    // long read is not lost: the map and the outputs that fit are written,
    // then the run ends with the message (the left-out output's old file
    // stays as it was).
    std::string leftOut;
    for (const auto& [observer, why] : summary.read.leftOut) {
        leftOut += "; " + why;
        if (names && observer == &*names) names.reset();
        if (roads && observer == &*roads) roads.reset();
    }
    // The name index is built beside the blocks, on a thread of its own,
    // and its records let go when it is; it is written after the map.
    std::string nameIndex;
    std::jthread nameBuild;
    if (names)
        nameBuild = std::jthread([&names, &nameIndex, &summary] {
            nameIndex = buildNameIndex(names->store(), summary.names.emplace());
            names.reset();
        });
    summary.features = feed.features();
    if (!feed.drawing()) {
        *error = "the input holds no roads, lines or areas to draw: no map written";
        return false;
    }
    if (!feed.keysFit(error)) return false;
    if (!writeMap(options, feed, sort, scratch, budget, progress, summary, error)) return false;

    summary.bytes = sizeOf(options.output);
    if (nameBuild.joinable()) nameBuild.join();
    if (summary.names && !writeNameIndex(nameIndex, namesPath, *summary.names, error)) return false;
    release(nameIndex); // a tenth of the map's size, not to be held through the road graph
    summary.peakMemory = peakResidentBytes();
    summary.memoryBound = budget.bound();
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The road graph last, when the map's memory is given back.
    if (roads) {
        returnFreeMemory();
        summary.roads.emplace();
        if (!compileRoadGraph(roads->take(), roadGraphPath(options.output), scratch,
                              budget.shortcutShare(), *summary.roads, error, &progress))
            return false;
    }
    progress.finish();
    if (leftOut.empty()) return true;
    *error = "wrote " + options.output + leftOut;
    return false;
}

} // namespace tevo::tvmc
