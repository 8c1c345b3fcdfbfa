#include "map/tvm_writer.hpp"

#include "map/tvm_format.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <unistd.h>

namespace tevo {

namespace {

// The map name's length field is 16 bits wide; names are whole UTF-16 units.
constexpr std::size_t kMaxMapNameUnits = 0xFFFF / 2;
constexpr std::size_t kMaxObjectNameUnits = tvm::kMaxNameBytes / 2;
constexpr uint64_t kMaxFileSize = 0xFFFFFFFFull;

class ByteWriter {
public:
    explicit ByteWriter(std::vector<uint8_t>& out) : out_(out) {}
    void u8(uint8_t v) { out_.push_back(v); }
    void u16(uint16_t v) {
        u8(static_cast<uint8_t>(v));
        u8(static_cast<uint8_t>(v >> 8));
    }
    void u32(uint32_t v) {
        u16(static_cast<uint16_t>(v));
        u16(static_cast<uint16_t>(v >> 16));
    }
    void i32(int32_t v) { u32(static_cast<uint32_t>(v)); }
    void zeros(std::size_t n) { out_.insert(out_.end(), n, 0); }
    void bytes(const std::array<uint8_t, 4>& b) { out_.insert(out_.end(), b.begin(), b.end()); }
    void text(std::u16string_view t) {
        for (char16_t c : t) u16(static_cast<uint16_t>(c));
    }
    void putU32At(std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    std::vector<uint8_t>& out_;
};

// Cuts to maxUnits without leaving the first half of a surrogate pair at the end.
std::u16string_view cutName(std::u16string_view name, std::size_t maxUnits) {
    if (name.size() <= maxUnits) return name;
    std::size_t n = maxUnits;
    if (n > 0 && name[n - 1] >= 0xD800 && name[n - 1] <= 0xDBFF) --n;
    return name.substr(0, n);
}

std::string blockProblem(const TvmBlock& block) {
    for (const TvmObject& poi : block.pois)
        if (poi.points.size() != 1)
            return "block " + std::to_string(block.key) + ": a POI of type " +
                   std::to_string(poi.type) + " has " + std::to_string(poi.points.size()) +
                   " points instead of 1";
    for (const auto* list : {&block.polylines, &block.polygons})
        for (const TvmObject& o : *list)
            if (o.points.size() > tvm::kMaxPoints)
                return "block " + std::to_string(block.key) + ": an object of type " +
                       std::to_string(o.type) + " has " + std::to_string(o.points.size()) +
                       " points, more than 65535";
    return {};
}

void writePoi(ByteWriter& w, const TvmObject& poi) {
    std::u16string_view name = cutName(poi.name, kMaxObjectNameUnits);
    w.u8(tvm::kKindPoi);
    w.u8(0);
    w.u16(poi.type);
    w.u8(static_cast<uint8_t>(name.size() * 2));
    w.zeros(3);
    w.i32(poi.points[0].x);
    w.i32(poi.points[0].y);
    w.text(name);
}

void writeLine(ByteWriter& w, const TvmObject& line, uint8_t kind) {
    std::u16string_view name = cutName(line.name, kMaxObjectNameUnits);
    w.u8(kind);
    w.u8(0);
    w.u16(line.type);
    w.u8(static_cast<uint8_t>(name.size() * 2));
    w.u8(0);
    w.u16(static_cast<uint16_t>(line.points.size()));
    for (const TvmPoint& p : line.points) {
        w.i32(p.x);
        w.i32(p.y);
    }
    w.text(name);
}

} // namespace

std::vector<uint8_t> encodeBlock(const TvmBlock& block) {
    std::vector<uint8_t> out;
    if (!blockProblem(block).empty()) return out;
    ByteWriter w(out);
    w.bytes(tvm::kBlockMagic);
    w.zeros(tvm::kPoiCountAt - 4);
    w.u32(static_cast<uint32_t>(block.pois.size()));
    w.u32(static_cast<uint32_t>(block.polylines.size()));
    w.u32(static_cast<uint32_t>(block.polygons.size()));
    w.u32(0); // data size, known at the end
    for (const TvmObject& o : block.pois) writePoi(w, o);
    for (const TvmObject& o : block.polylines) writeLine(w, o, tvm::kKindPolyline);
    for (const TvmObject& o : block.polygons) writeLine(w, o, tvm::kKindPolygon);
    w.putU32At(tvm::kDataSizeAt, static_cast<uint32_t>(out.size() - tvm::kBlockHeaderSize));
    return out;
}

std::string tvmEncodingProblem(const std::vector<TvmIndexBlock>& indexBlocks) {
    for (const TvmIndexBlock& ib : indexBlocks)
        for (const TvmBlock& b : ib.blocks) {
            std::string problem = blockProblem(b);
            if (!problem.empty()) return problem;
        }
    return {};
}

std::vector<uint8_t> encodeTvm(std::u16string_view mapName,
                               const std::vector<TvmIndexBlock>& indexBlocks) {
    // 1. Encode every block first: their sizes fix all offsets.
    std::vector<std::vector<uint8_t>> blocks;
    for (const TvmIndexBlock& ib : indexBlocks)
        for (const TvmBlock& b : ib.blocks) {
            blocks.push_back(encodeBlock(b));
            if (blocks.back().empty()) return {};
        }
    // 2. Lay out: header, index, name record, blocks.
    std::u16string_view name = cutName(mapName, kMaxMapNameUnits);
    uint64_t indexSize = 0;
    for (const TvmIndexBlock& ib : indexBlocks)
        indexSize += tvm::kIndexHeaderSize + tvm::kEntrySize * ib.blocks.size();
    const uint64_t nameAt = tvm::kHeaderSize + indexSize;
    uint64_t blockAt = nameAt + tvm::kNameHeaderSize + name.size() * 2;
    uint64_t total = blockAt;
    for (const auto& b : blocks) total += b.size();
    if (total > kMaxFileSize) return {};

    std::vector<uint8_t> out;
    out.reserve(static_cast<std::size_t>(total));
    ByteWriter w(out);
    // 3. Header.
    w.bytes(tvm::kFileMagic);
    w.zeros(tvm::kIndexCountAt - 4);
    w.u32(static_cast<uint32_t>(indexBlocks.size()));
    w.u32(static_cast<uint32_t>(tvm::kHeaderSize));
    w.u32(static_cast<uint32_t>(nameAt));
    // 4. Index blocks with the offsets the blocks will have.
    std::size_t nextBlock = 0;
    for (const TvmIndexBlock& ib : indexBlocks) {
        w.bytes(tvm::kIndexMagic);
        w.u8(ib.levelTag);
        w.zeros(3);
        w.u32(static_cast<uint32_t>(ib.blocks.size()));
        w.u32(ib.cellSeconds);
        w.zeros(4);
        for (const TvmBlock& b : ib.blocks) {
            w.i32(b.key);
            w.u32(static_cast<uint32_t>(blockAt));
            blockAt += blocks[nextBlock++].size();
        }
    }
    // 5. Name record.
    w.zeros(tvm::kNameLengthAt);
    w.u16(static_cast<uint16_t>(name.size() * 2));
    w.text(name);
    // 6. Blocks, in index order.
    for (const auto& b : blocks) out.insert(out.end(), b.begin(), b.end());
    return out;
}

bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<TvmIndexBlock>& indexBlocks, std::string* error) {
    auto fail = [error](std::string message) {
        if (error) *error = std::move(message);
        return false;
    };
    std::vector<uint8_t> bytes = encodeTvm(mapName, indexBlocks);
    if (bytes.empty()) {
        std::string problem = tvmEncodingProblem(indexBlocks);
        return fail(problem.empty() ? "map file would exceed 4 GiB" : problem);
    }
    const std::string temp = path + ".tmp" + std::to_string(::getpid());
    std::FILE* f = std::fopen(temp.c_str(), "wb");
    if (!f) return fail(temp + ": " + std::strerror(errno));
    std::string problem;
    if (std::fwrite(bytes.data(), 1, bytes.size(), f) != bytes.size())
        problem = temp + ": " + std::strerror(errno);
    if (std::fclose(f) != 0 && problem.empty()) problem = temp + ": " + std::strerror(errno);
    if (problem.empty() && std::rename(temp.c_str(), path.c_str()) != 0)
        problem = path + ": " + std::strerror(errno);
    if (problem.empty()) return true;
    std::remove(temp.c_str());
    return fail(problem);
}

} // namespace tevo
