#include "tools/tvmc/compiler.hpp"

#include "platform/file_output.hpp"
#include "platform/text.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/road_graph/road_graph.hpp"
#include "tools/tvmc/start_cell.hpp"

#include <algorithm>
#include <chrono>
#include <malloc.h>
#include <sys/stat.h>

namespace tevo::tvmc {

namespace {

uint64_t sizeOf(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

bool hasDrawing(const std::vector<Feature>& features) {
    return std::any_of(features.begin(), features.end(),
                       [](const Feature& f) { return f.cls != ObjectClass::Poi; });
}

// The start level split so that its start cell is the one the reader
// starts on (see placeStartCell).
bool placeStart(const Options& options, TvmIndexBlock level, std::vector<TvmIndexBlock>& out,
                std::string* error) {
    int32_t startKey = densestCell(level);
    if (options.start) {
        const CellGrid grid(level.cellSeconds);
        const std::optional<int32_t> key =
            grid.keyOf(grid.cellOf(toMapUnits(options.start->lon, options.start->lat)));
        if (!key || !std::any_of(level.blocks.begin(), level.blocks.end(),
                                 [&](const TvmBlock& b) { return b.key == *key; })) {
            *error = "--start lies in a cell of the start level without objects";
            return false;
        }
        startKey = *key;
    }
    out = placeStartCell(std::move(level), startKey);
    return true;
}

bool encodeInto(const TvmIndexBlock& block, std::vector<EncodedIndexBlock>& out,
                std::string* error) {
    out.emplace_back();
    if (encodeIndexBlock(block, out.back())) return true;
    *error = tvmEncodingProblem({block});
    return false;
}

// Every level in ascending cell size, each encoded as soon as it is built so
// that only one level is held as objects; the start level moves to the end.
// By default it is the finest level that keeps anything (an input of only
// huge areas leaves the finest levels empty).
bool buildLevels(const Options& options, const std::vector<Feature>& features,
                 std::vector<EncodedIndexBlock>& indexBlocks, CompileSummary& summary,
                 std::string* error) {
    std::vector<EncodedIndexBlock> startBlocks;
    bool startFound = false;
    for (std::size_t i = 0; i < options.levels.size(); ++i) {
        const LevelPlan plan = levelPlanFor(options.levels[i], i == 0);
        TvmIndexBlock block;
        LevelStats stats;
        if (!buildLevel(features, plan, static_cast<uint8_t>(i), block, stats, error)) return false;
        summary.levels.push_back(stats);
        const bool isStart = options.startLevel ? plan.cellSeconds == *options.startLevel
                                                : !startFound && !block.blocks.empty();
        if (isStart) {
            startFound = true;
            if (block.blocks.empty()) {
                *error = "the start level (" + std::to_string(plan.cellSeconds) +
                         " arc-seconds) keeps no objects; choose a finer --start-level";
                return false;
            }
            std::vector<TvmIndexBlock> parts;
            if (!placeStart(options, std::move(block), parts, error)) return false;
            for (const TvmIndexBlock& part : parts)
                if (!encodeInto(part, startBlocks, error)) return false;
        } else if (!block.blocks.empty() && !encodeInto(block, indexBlocks, error)) {
            return false;
        }
    }
    if (!startFound) {
        *error = "no level keeps any object (areas that cover too many cells of every level are "
                 "left out): no map written";
        return false;
    }
    for (EncodedIndexBlock& block : startBlocks) indexBlocks.push_back(std::move(block));
    return true;
}

} // namespace

bool compileMap(const Options& options, CompileSummary& summary, std::string* error) {
    std::string scratch;
    if (!error) error = &scratch;
    const auto started = std::chrono::steady_clock::now();
    summary.output = options.output;
    // A device or a pipe named as the output is refused before the work.
    for (const std::string& out : {options.output, roadGraphPath(options.output)}) {
        if (out != options.output && !options.roadGraph) continue;
        if (std::string problem = outputProblem(out); !problem.empty()) {
            *error = problem;
            return false;
        }
    }

    // Read the input into features.
    uint64_t total = 0;
    for (const std::string& in : options.inputs) total += sizeOf(in);
    ProgressBar bar(stderr);
    ReadOptions readOptions;
    if (options.bbox) readOptions.cut = toUnitRect(*options.bbox);
    if (!options.quiet && total >= kProgressMinBytes)
        readOptions.progress = [&bar](double f) { bar.update(f); };
    std::optional<RoadCollector> roads;
    if (options.roadGraph) readOptions.roads = &roads.emplace(readOptions.cut);
    ReadResult read;
    const bool ok = readOsm(options.inputs, readOptions, read, error);
    bar.finish();
    if (!ok) return false;
    // The location index and the decoder's buffers are gone: give their
    // memory back before the levels are built.
    malloc_trim(0);
    summary.read = read.stats;
    summary.features = read.features.size();
    if (!hasDrawing(read.features)) {
        *error = "the input holds no roads, lines or areas to draw: no map written";
        return false;
    }

    // Levels, then the file, written whole under a temporary name.
    std::vector<EncodedIndexBlock> indexBlocks;
    if (!buildLevels(options, read.features, indexBlocks, summary, error)) return false;
    read.features.clear();
    read.features.shrink_to_fit();
    if (!writeTvm(options.output, toWide(*options.name), indexBlocks, error)) return false;

    summary.bytes = sizeOf(options.output);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    // The road graph last, when the map's memory is given back.
    if (!roads) return true;
    malloc_trim(0);
    summary.roads.emplace();
    return compileRoadGraph(roads->take(), roadGraphPath(options.output), *summary.roads, error);
}

} // namespace tevo::tvmc
