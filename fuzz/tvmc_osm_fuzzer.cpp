// The map compiler over small OpenStreetMap XML documents: read, levels
// assembled, map, road graph and name index written, the map then opened and
// read whole by the navigator's reader, the road graph opened by the routing
// library and the name index opened. An input may start with a line
// "#tvmc OPTIONS..." that gives the compiler's options (levels, bounding box,
// start level); the rest is the document.
#include "fuzz/fuzz_support.hpp"
#include "fuzz/map_walk.hpp"

#include "platform/message_box.hpp"
#include "platform/text.hpp"
#include "route/road_graph.hpp"
#include "search/name_index.hpp"
#include "tools/tvmc/compiler.hpp"
#include "tools/tvmc/options.hpp"

#include <cstddef>
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

namespace {

constexpr std::string_view kOptionsLine = "#tvmc";
constexpr std::size_t kMostOptions = 16;
constexpr int kWalkSteps = 6;

// Splits off the options line; the words before the file names of argv.
std::vector<std::string> takeOptions(std::string_view& text) {
    std::vector<std::string> words;
    if (!text.starts_with(kOptionsLine)) return words;
    const std::size_t end = text.find('\n');
    std::istringstream line(
        std::string(text.substr(kOptionsLine.size(), end - kOptionsLine.size())));
    for (std::string word; words.size() < kMostOptions && line >> word;) words.push_back(word);
    text = end == std::string_view::npos ? std::string_view{} : text.substr(end + 1);
    return words;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    tevo::setMessageBoxesDrawn(false);
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, std::size_t size) {
    static const tevo::fuzz::ScratchFile input(".osm");
    static const tevo::fuzz::ScratchFile output(".tvm");
    std::string_view text(reinterpret_cast<const char*>(data), size);
    std::vector<std::string> words = takeOptions(text);
    if (!input.write(reinterpret_cast<const uint8_t*>(text.data()), text.size())) return 0;

    std::vector<const char*> argv{"tvmc", "--quiet"};
    for (const std::string& w : words) argv.push_back(w.c_str());
    for (const char* tail : {input.path().c_str(), "-o", output.path().c_str()})
        argv.push_back(tail);
    tevo::tvmc::Options options;
    std::string error;
    if (!tevo::tvmc::parseOptions(static_cast<int>(argv.size()), argv.data(), options, &error) ||
        options.help)
        return 0;
    tevo::tvmc::CompileSummary summary;
    if (!tevo::tvmc::compileMap(options, summary, &error)) return 0;

    // What the compiler wrote, the navigator reads without a single bad block.
    tevo::cMapFile map;
    if (!map.open(tevo::toWide(output.path()))) __builtin_trap();
    int64_t sum = tevo::fuzz::readEveryBlock(map);
    for (const auto& level : map.levels())
        for (const auto& index : level->indexBlocks())
            if (!index->failedKeys().empty()) __builtin_trap();
    sum += tevo::fuzz::walkCache(map, tevo::fuzz::hashOf(data, size), kWalkSteps);
    // The road graph written beside it opens too.
    tevo::route::cRoadGraph graph;
    if (options.roadGraph &&
        !graph.open(output.path().substr(0, output.path().size() - 4) + ".tvr", &error))
        __builtin_trap();
    sum += graph.edgeCount();
    // And its name index opens, unless the options left it out.
    tevo::search::cNameIndex names;
    if (options.nameIndex) {
        if (!names.open(tevo::tvmc::nameIndexPath(output.path()), &error)) __builtin_trap();
        sum += names.entryCount();
    }
    tevo::fuzz::keep(sum);
    return 0;
}
