#include "tools/tvmc/compiler.hpp"

#include "platform/text.hpp"
#include "tools/tvmc/grid.hpp"
#include "tools/tvmc/start_cell.hpp"

#include <algorithm>
#include <chrono>
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

// Every level in ascending cell size; the start level moves to the end. By
// default it is the finest level that keeps anything (an input of only huge
// areas leaves the finest levels empty).
bool buildLevels(const Options& options, const std::vector<Feature>& features,
                 std::vector<TvmIndexBlock>& indexBlocks, CompileSummary& summary,
                 std::string* error) {
    std::vector<TvmIndexBlock> built;
    for (std::size_t i = 0; i < options.levels.size(); ++i) {
        const LevelPlan plan = levelPlanFor(options.levels[i], i == 0);
        TvmIndexBlock block;
        LevelStats stats;
        if (!buildLevel(features, plan, static_cast<uint8_t>(i), block, stats, error)) return false;
        summary.levels.push_back(stats);
        built.push_back(std::move(block));
    }
    uint32_t start = options.levels.front();
    if (options.startLevel) {
        start = *options.startLevel;
    } else {
        const auto kept = std::find_if(built.begin(), built.end(),
                                       [](const TvmIndexBlock& b) { return !b.blocks.empty(); });
        if (kept != built.end()) start = kept->cellSeconds;
    }
    TvmIndexBlock startBlock;
    for (TvmIndexBlock& block : built) {
        if (block.cellSeconds == start)
            startBlock = std::move(block);
        else if (!block.blocks.empty())
            indexBlocks.push_back(std::move(block));
    }
    built.clear();
    if (startBlock.blocks.empty() && !options.startLevel) {
        *error = "no level keeps any object (areas that cover too many cells of every level are "
                 "left out): no map written";
        return false;
    }
    if (startBlock.blocks.empty()) {
        *error = "the start level (" + std::to_string(start) +
                 " arc-seconds) keeps no objects; choose a finer --start-level";
        return false;
    }
    int32_t startKey = densestCell(startBlock);
    if (options.start) {
        const CellGrid grid(start);
        const std::optional<int32_t> key =
            grid.keyOf(grid.cellOf(toMapUnits(options.start->lon, options.start->lat)));
        if (!key || !std::any_of(startBlock.blocks.begin(), startBlock.blocks.end(),
                                 [&](const TvmBlock& b) { return b.key == *key; })) {
            *error = "--start lies in a cell of the start level without objects";
            return false;
        }
        startKey = *key;
    }
    for (TvmIndexBlock& block : placeStartCell(std::move(startBlock), startKey))
        indexBlocks.push_back(std::move(block));
    return true;
}

} // namespace

bool compileMap(const Options& options, CompileSummary& summary, std::string* error) {
    std::string scratch;
    if (!error) error = &scratch;
    const auto started = std::chrono::steady_clock::now();
    summary.output = options.output;

    // Read the input into features.
    uint64_t total = 0;
    for (const std::string& in : options.inputs) total += sizeOf(in);
    ProgressBar bar(stderr);
    ReadOptions readOptions;
    if (options.bbox) readOptions.cut = toUnitRect(*options.bbox);
    if (!options.quiet && total >= kProgressMinBytes)
        readOptions.progress = [&bar](double f) { bar.update(f); };
    ReadResult read;
    const bool ok = readOsm(options.inputs, readOptions, read, error);
    bar.finish();
    if (!ok) return false;
    summary.read = read.stats;
    summary.features = read.features.size();
    if (!hasDrawing(read.features)) {
        *error = "the input holds no roads, lines or areas to draw: no map written";
        return false;
    }

    // Levels, then the file, written whole under a temporary name.
    std::vector<TvmIndexBlock> indexBlocks;
    if (!buildLevels(options, read.features, indexBlocks, summary, error)) return false;
    read.features.clear();
    read.features.shrink_to_fit();
    if (!writeTvm(options.output, toWide(*options.name), indexBlocks, error)) return false;

    summary.bytes = sizeOf(options.output);
    summary.seconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - started).count();
    return true;
}

} // namespace tevo::tvmc
