// The map's blocks as they come out of the record sort: the records of each
// cell gathered into a block, encoded at once and set aside (in memory, or
// in a scratch file beyond the store's share of the memory bound) with the
// key, record count and place of each block, until the file is written.
// The joining and encoding of each block run on a stage of their own, in the
// order the blocks came, while the next blocks are gathered.
#pragma once

#include "map/tvm_writer.hpp"
#include "tools/tvmc/feature.hpp"
#include "tools/tvmc/level_builder.hpp"
#include "tools/tvmc/scratch.hpp"
#include "tools/tvmc/work_stage.hpp"

#include <cstdint>
#include <string>
#include <vector>

namespace tevo::tvmc {

struct StoredBlock {
    int32_t key = 0;
    uint32_t records = 0;
    uint64_t at = 0; // of its bytes in the store
    uint32_t bytes = 0;
};

inline std::size_t recordsOf(const StoredBlock& b) {
    return b.records;
}

// One level's blocks in ascending key order, or a part of them.
struct StoredLevel {
    uint8_t levelTag = 0;
    uint32_t cellSeconds = 0;
    std::vector<StoredBlock> blocks;
};

class BlockStore {
public:
    // One plan and one stats entry per level; the store counts each
    // level's blocks and records.
    BlockStore(ScratchSpace& scratch, uint64_t memoryShare, const std::vector<LevelPlan>& plans,
               std::vector<LevelStats>& stats);

    // Records in ascending order of level and cell key.
    void add(uint8_t level, int32_t key, ObjectClass cls, TvmObject&& record);
    // Encodes the last block; false (message in *error) when a block was
    // refused by the encoder.
    bool finish(std::string* error);

    // The blocks of each level, in level order.
    const std::vector<StoredLevel>& levels() const { return levels_; }

    // Writes the map with these index blocks, in this order.
    bool write(const std::string& path, std::u16string_view mapName,
               const std::vector<StoredLevel>& indexBlocks, std::string* error);

private:
    struct Gathered {
        int level = -1;
        TvmBlock block;
    };
    void handOver();                 // the current block to the stage
    void encode(Gathered& gathered); // on the stage

    ScratchSpace& scratch_;
    const std::vector<LevelPlan>& plans_;
    std::vector<LevelStats>& stats_;
    std::vector<StoredLevel> levels_;
    ByteSpool spool_;
    TvmBlock current_;
    int level_ = -1; // of the current block; -1 before the first record
    std::string problem_;
    WorkStage<Gathered> encoder_; // last: it starts on the members above
};

} // namespace tevo::tvmc
