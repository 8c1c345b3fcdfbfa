// Opening the map file: header, map name and the whole index.
#include "map/map_file.hpp"

#include "map/tvm_format.hpp"
#include "platform/message_box.hpp"
#include "platform/text.hpp"

#include <algorithm>
#include <array>

namespace tevo {

namespace {

using namespace tvm;

template <std::size_t N> bool hasMagic(const uint8_t* p, const std::array<uint8_t, N>& magic) {
    return std::equal(magic.begin(), magic.end(), p);
}

// The map name record; a record outside the file gives an empty name.
std::u16string readMapName(MapStream& stream, uint32_t at) {
    std::array<uint8_t, kNameHeaderSize> head{};
    if (!stream.readAt(at, head.data(), head.size())) return {};
    const std::size_t bytes = readU16(&head[kNameLengthAt]);
    if (!stream.fits(uint64_t{at} + kNameHeaderSize, bytes)) return {};
    std::vector<uint8_t> raw(bytes);
    if (!stream.readAt(uint64_t{at} + kNameHeaderSize, raw.data(), raw.size())) return {};
    std::u16string name(bytes / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i)
        name[i] = static_cast<char16_t>(readU16(&raw[2 * i]));
    return name;
}

// The start cell: the middle column and row of the cell range.
CellRange startCell(CellRange r) {
    if (r.colMax > r.colMin)
        r.colMin = r.colMax = static_cast<int32_t>((int64_t{r.colMin} + r.colMax) / 2);
    if (r.rowMax > r.rowMin)
        r.rowMin = r.rowMax = static_cast<int32_t>((int64_t{r.rowMin} + r.rowMax) / 2);
    return r;
}

} // namespace

void cMapFile::reset() {
    current_ = nullptr;
    hasStartRect_ = false;
    startRect_ = BoundsF{};
    levels_.clear();
    levelBySeconds_.clear();
    name_.clear();
    stream_.close();
}

bool cMapFile::open(std::u16string_view path, BoundsF* startRect) {
    reset();
    if (!stream_.open(toNarrowPath(path))) return false;
    std::array<uint8_t, kHeaderSize> header{};
    if (!stream_.readAt(0, header.data(), header.size()) || !hasMagic(header.data(), kFileMagic))
        return false;
    name_ = readMapName(stream_, readU32(&header[kNameOffsetAt]));
    // The index blocks follow one another; a wrong one ends the index but
    // keeps those read before it.
    const uint32_t count = readU32(&header[kIndexCountAt]);
    uint64_t at = readU32(&header[kIndexOffsetAt]);
    bool whole = true;
    for (uint32_t i = 0; i < count && whole; ++i)
        whole = readIndexBlock(&at, i + 1 == count, startRect);
    sortLevels();
    return whole;
}

// Reads the index block at *at and moves *at past it. False (after the
// message) when its header is not there or its entries run past the file.
bool cMapFile::readIndexBlock(uint64_t* at, bool last, BoundsF* startRect) {
    std::array<uint8_t, kIndexHeaderSize> head{};
    const uint64_t entriesAt = *at + kIndexHeaderSize;
    bool good = stream_.readAt(*at, head.data(), head.size()) && hasMagic(head.data(), kIndexMagic);
    const uint64_t entryCount = good ? readU32(&head[kEntryCountAt]) : 0;
    const uint64_t entryBytes = entryCount * kEntrySize;
    if (!good || !stream_.fits(entriesAt, entryBytes)) {
        messageBox(kMsgWrongIndexBlock, kMsgCaption);
        return false;
    }
    *at = entriesAt + entryBytes;
    // An unusable cell size skips the block (and its entries).
    auto indexBlock =
        std::make_unique<cIndexBlock>(&stream_, head[kLevelTagAt], readU32(&head[kCellSecondsAt]));
    if (indexBlock->columns() <= 0) return true;
    // The entries give the cell range and the extent.
    std::vector<uint8_t> raw(static_cast<std::size_t>(entryBytes));
    if (!stream_.readAt(entriesAt, raw.data(), raw.size())) {
        messageBox(kMsgWrongIndexBlock, kMsgCaption);
        return false;
    }
    std::vector<IndexEntry> entries(static_cast<std::size_t>(entryCount));
    for (std::size_t k = 0; k < entries.size(); ++k)
        entries[k] = {readI32(&raw[k * kEntrySize]), readU32(&raw[k * kEntrySize + 4])};
    indexBlock->setEntries(std::move(entries));
    // File it in its level; the last index block loads the start cell.
    cIndexBlock* ib = indexBlock.get();
    fileIndexBlock(std::move(indexBlock));
    if (last) {
        const CellRange cell = startCell(ib->cellRange());
        ib->loadCells(cell);
        startRect_ = cellExtent(cell, ib->cellSize());
        hasStartRect_ = true;
        if (startRect) *startRect = startRect_;
    }
    return true;
}

} // namespace tevo
