#include "map/block_reader.hpp"

#include "map/map_stream.hpp"
#include "map/tvm_format.hpp"
#include "platform/message_box.hpp"

#include <algorithm>
#include <array>
#include <vector>

namespace tevo {

namespace {

using namespace tvm;

// Names are whole UTF-16 units; an odd final byte is dropped.
std::u16string decodeName(const uint8_t* p, std::size_t bytes) {
    std::u16string name(bytes / 2, u'\0');
    for (std::size_t i = 0; i < name.size(); ++i)
        name[i] = static_cast<char16_t>(readU16(p + 2 * i));
    return name;
}

class RecordWalker {
public:
    RecordWalker(const uint8_t* data, std::size_t size) : data_(data), size_(size) {}

    // One POI record, or false when it is not one or does not fit.
    bool poi(cBlockObjects& block) {
        if (!has(kPoiHeaderSize) || kind() != kKindPoi) return false;
        const uint8_t* r = data_ + pos_;
        const std::size_t nameBytes = r[kNameBytesAt];
        if (!has(kPoiHeaderSize + nameBytes)) return false;
        auto poi = std::make_unique<cPOI>();
        poi->mark = 0;
        poi->type = readU16(r + kTypeAt);
        poi->x = readI32(r + kPoiXAt);
        poi->y = readI32(r + kPoiYAt);
        poi->name = decodeName(r + kPoiHeaderSize, nameBytes);
        block.pois.append(std::move(poi));
        pos_ += kPoiHeaderSize + nameBytes;
        return true;
    }

    // One polyline or polygon record, normalised.
    std::unique_ptr<cPolyLine> line(uint8_t wantedKind) {
        if (!has(kLineHeaderSize) || kind() != wantedKind) return nullptr;
        const uint8_t* r = data_ + pos_;
        const std::size_t nameBytes = r[kNameBytesAt];
        const std::size_t count = readU16(r + kPointCountAt);
        const std::size_t pointBytes = count * kPointSize;
        if (!has(kLineHeaderSize + pointBytes + nameBytes)) return nullptr;
        auto line = std::make_unique<cPolyLine>();
        line->mark = 0;
        line->type = readU16(r + kTypeAt);
        line->points.resize(count);
        const uint8_t* p = r + kLineHeaderSize;
        for (std::size_t i = 0; i < count; ++i, p += kPointSize)
            line->points[i] = {readI32(p), readI32(p + 4)};
        line->name = decodeName(p, nameBytes);
        line->normalise();
        pos_ += kLineHeaderSize + pointBytes + nameBytes;
        return line;
    }

private:
    bool has(std::size_t n) const { return n <= size_ - pos_; }
    uint8_t kind() const { return data_[pos_] & kKindMask; }

    const uint8_t* data_;
    std::size_t size_;
    std::size_t pos_ = 0;
};

// The smallest records bound how many of each the data can hold, so a
// damaged count never makes us reserve more than the file could fill.
std::size_t fitting(uint32_t count, std::size_t size, std::size_t recordSize) {
    return std::min<std::size_t>(count, size / recordSize);
}

} // namespace

std::u16string_view decodeRecords(const uint8_t* data, std::size_t size, uint32_t pois,
                                  uint32_t polylines, uint32_t polygons, cBlockObjects& block) {
    block.pois.reserve(fitting(pois, size, kPoiHeaderSize));
    block.polylines.reserve(fitting(polylines, size, kLineHeaderSize));
    RecordWalker walk(data, size);
    for (uint32_t i = 0; i < pois; ++i)
        if (!walk.poi(block)) return kMsgWrongPoi;
    for (uint32_t i = 0; i < polylines; ++i) {
        auto line = walk.line(kKindPolyline);
        if (!line) return kMsgWrongPolyLine;
        block.polylines.append(std::move(line));
    }
    for (uint32_t i = 0; i < polygons; ++i) {
        auto polygon = walk.line(kKindPolygon);
        if (!polygon) return kMsgWrongPolyGon;
        auto& list = isUpperPolygonType(static_cast<uint32_t>(polygon->type)) ? block.upperPolygons
                                                                              : block.polygons;
        list.append(std::move(polygon));
    }
    return {};
}

std::unique_ptr<cBlockObjects> readBlock(MapStream& stream, const IndexEntry& entry) {
    auto fail = [](std::u16string_view message) {
        messageBox(message, kMsgCaption);
        return std::unique_ptr<cBlockObjects>();
    };
    // The header at the entry's offset; its data must lie in the file.
    std::array<uint8_t, kBlockHeaderSize> header{};
    if (entry.offset == 0 || !stream.readAt(entry.offset, header.data(), header.size()) ||
        !std::equal(kBlockMagic.begin(), kBlockMagic.end(), header.begin()))
        return fail(kMsgWrongBlock);
    const uint32_t dataSize = readU32(&header[kDataSizeAt]);
    if (!stream.fits(uint64_t{entry.offset} + kBlockHeaderSize, dataSize))
        return fail(kMsgWrongBlock);
    // The record data.
    std::vector<uint8_t> data(dataSize);
    if (!stream.readAt(uint64_t{entry.offset} + kBlockHeaderSize, data.data(), data.size()))
        return fail(kMsgWrongBlock);
    // The objects.
    auto block = std::make_unique<cBlockObjects>();
    block->key = entry.key;
    block->offset = entry.offset;
    std::u16string_view problem = decodeRecords(
        data.data(), data.size(), readU32(&header[kPoiCountAt]), readU32(&header[kPolylineCountAt]),
        readU32(&header[kPolygonCountAt]), *block);
    if (!problem.empty()) return fail(problem);
    block->evict = false;
    return block;
}

} // namespace tevo
