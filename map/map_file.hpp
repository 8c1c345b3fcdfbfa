// The map file: header, name and the whole index read at open; levels of
// equal cell size; the level the view shows and its block caches.
#pragma once

#include "map/bounds.hpp"
#include "map/map_level.hpp"
#include "map/map_stream.hpp"

#include <memory>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace tevo {

class cMapFile {
public:
    cMapFile() = default;
    // Index blocks keep a pointer to the stream: the object stays in place.
    cMapFile(const cMapFile&) = delete;
    cMapFile& operator=(const cMapFile&) = delete;

    // Reads the header, the map name and every index block, then loads the
    // start cell of the last index block and writes its rectangle (degrees:
    // min lon, min lat, max lon, max lat) to startRect when given. True when
    // the header and the whole index were read. A wrong index block shows
    // "Error in .tvm - wrong index block position" and keeps the index blocks
    // read before it. The path is wide as toWidePath makes it.
    bool open(std::u16string_view path, BoundsF* startRect = nullptr);

    // Files the index block in the level of its cell size, creating the level
    // when there is none; levels stay sorted by ascending cell size.
    void addIndexBlock(std::unique_ptr<cIndexBlock> indexBlock);

    // Switches to `wanted` when it has visible cells (or nothing is current),
    // updates every index block of the current level for the footprint
    // (degrees) and returns the current level, or null.
    cMapLevel* selectLevel(cMapLevel* wanted, const PointF footprint[4]);

    const std::u16string& name() const { return name_; }
    // The start rectangle of the last open, when it wrote one.
    bool hasStartRect() const { return hasStartRect_; }
    const BoundsF& startRect() const { return startRect_; }
    const std::vector<std::unique_ptr<cMapLevel>>& levels() const { return levels_; }
    cMapLevel* currentLevel() const { return current_; }

private:
    void reset();
    bool readIndexBlock(uint64_t* at, bool last, BoundsF* startRect);
    // Files the index block without sorting the levels; true when it made a
    // new level. The open sorts once after reading the whole index, so maps
    // of many cell sizes open in n log n.
    bool fileIndexBlock(std::unique_ptr<cIndexBlock> indexBlock);
    void sortLevels();

    MapStream stream_;
    cMapLevel* current_ = nullptr;
    std::vector<std::unique_ptr<cMapLevel>> levels_;
    std::unordered_map<uint32_t, cMapLevel*> levelBySeconds_;
    std::u16string name_;
    bool hasStartRect_ = false;
    BoundsF startRect_;
};

} // namespace tevo
