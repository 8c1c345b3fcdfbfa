#include "tools/tvmc/block_store.hpp"

#include "tools/tvmc/start_cell.hpp"

namespace tevo::tvmc {

namespace {

// Blocks gathered that may wait for the encoding stage: enough to even out
// the work of both sides; each holds the records of one cell.
constexpr std::size_t kBlocksBehind = 16;

} // namespace

BlockStore::BlockStore(ScratchSpace& scratch, uint64_t memoryShare,
                       const std::vector<LevelPlan>& plans, std::vector<LevelStats>& stats)
    : scratch_(scratch), plans_(plans), stats_(stats), levels_(stats.size()),
      spool_(scratch, memoryShare),
      encoder_([this](Gathered& gathered) { encode(gathered); }, kBlocksBehind) {
    for (std::size_t i = 0; i < stats.size(); ++i) {
        levels_[i].levelTag = static_cast<uint8_t>(i);
        levels_[i].cellSeconds = stats[i].cellSeconds;
    }
}

void BlockStore::add(uint8_t level, int32_t key, ObjectClass cls, TvmObject&& record) {
    if (level != level_ || key != current_.key) {
        handOver();
        level_ = level;
        current_.key = key;
    }
    auto& list = cls == ObjectClass::Poi        ? current_.pois
                 : cls == ObjectClass::Polyline ? current_.polylines
                                                : current_.polygons;
    list.push_back(std::move(record));
}

void BlockStore::handOver() {
    if (level_ < 0) return;
    encoder_.add({level_, std::move(current_)});
    current_ = TvmBlock{};
}

void BlockStore::encode(Gathered& gathered) {
    const auto level = static_cast<std::size_t>(gathered.level);
    TvmBlock& block = gathered.block;
    finishBlock(block, plans_[level], stats_[level]);
    const std::vector<uint8_t> bytes = encodeBlock(block);
    if (bytes.empty() && problem_.empty()) problem_ = tvmEncodingProblem({{0, 0, {block}}});
    levels_[level].blocks.push_back({block.key, static_cast<uint32_t>(recordsOf(block)),
                                     spool_.size(), static_cast<uint32_t>(bytes.size())});
    ++stats_[level].cells;
    spool_.append(bytes.data(), bytes.size());
}

bool BlockStore::finish(std::string* error) {
    handOver();
    level_ = -1;
    encoder_.finish();
    if (problem_.empty()) return true;
    if (error) *error = problem_;
    return false;
}

bool BlockStore::write(const std::string& path, std::u16string_view mapName,
                       const std::vector<StoredLevel>& indexBlocks, std::string* error) {
    std::vector<TvmIndexLayout> layout;
    for (const StoredLevel& level : indexBlocks) {
        TvmIndexLayout& l = layout.emplace_back();
        l.levelTag = level.levelTag;
        l.cellSeconds = level.cellSeconds;
        for (const StoredBlock& b : level.blocks) l.blocks.push_back({b.key, b.bytes});
    }
    const auto writeBlocks = [&](int fd) {
        for (const StoredLevel& level : indexBlocks) {
            // Blocks that follow each other in the store go out in one copy.
            std::size_t i = 0;
            while (i < level.blocks.size()) {
                std::size_t j = i + 1;
                uint64_t end = level.blocks[i].at + level.blocks[i].bytes;
                while (j < level.blocks.size() && level.blocks[j].at == end)
                    end += level.blocks[j++].bytes;
                if (!spool_.copyTo(fd, level.blocks[i].at, end - level.blocks[i].at)) return false;
                i = j;
            }
        }
        return !scratch_.failed();
    };
    if (!writeTvm(path, mapName, layout, writeBlocks, error)) {
        if (error && scratch_.failed()) *error = scratch_.problem();
        return false;
    }
    return true;
}

} // namespace tevo::tvmc
