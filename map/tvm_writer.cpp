#include "map/tvm_writer.hpp"

#include "map/tvm_format.hpp"
#include "platform/file_output.hpp"

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

bool fail(std::string* error, std::string message) {
    if (error) *error = std::move(message);
    return false;
}

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
        uint8_t* at = grow(2 * t.size());
        for (char16_t c : t) {
            at[0] = static_cast<uint8_t>(c);
            at[1] = static_cast<uint8_t>(c >> 8);
            at += 2;
        }
    }
    // Each point's x and y, as i32 writes them.
    void points(const std::vector<TvmPoint>& points) {
        uint8_t* at = grow(8 * points.size());
        for (const TvmPoint& p : points) {
            putU32(at, static_cast<uint32_t>(p.x));
            putU32(at + 4, static_cast<uint32_t>(p.y));
            at += 8;
        }
    }
    void putU32At(std::size_t at, uint32_t v) {
        for (int i = 0; i < 4; ++i) out_[at + i] = static_cast<uint8_t>(v >> (8 * i));
    }

private:
    // n more bytes at the end, to be written through the pointer.
    uint8_t* grow(std::size_t n) {
        const std::size_t at = out_.size();
        out_.resize(at + n);
        return out_.data() + at;
    }
    static void putU32(uint8_t* at, uint32_t v) {
        for (int i = 0; i < 4; ++i) at[i] = static_cast<uint8_t>(v >> (8 * i));
    }

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
    w.points(line.points);
    w.text(name);
}

// The block's encoded size, or a little more where names are cut: one
// allocation for the whole block.
std::size_t sizeBound(const TvmBlock& block) {
    std::size_t bytes = tvm::kBlockHeaderSize;
    for (const TvmObject& o : block.pois) bytes += 16 + 2 * o.name.size();
    for (const auto* list : {&block.polylines, &block.polygons})
        for (const TvmObject& o : *list) bytes += 8 + 8 * o.points.size() + 2 * o.name.size();
    return bytes;
}

} // namespace

std::vector<uint8_t> encodeBlock(const TvmBlock& block) {
    std::vector<uint8_t> out;
    if (!blockProblem(block).empty()) return out;
    out.reserve(sizeBound(block));
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

bool encodeIndexBlock(const TvmIndexBlock& indexBlock, EncodedIndexBlock& out) {
    out.levelTag = indexBlock.levelTag;
    out.cellSeconds = indexBlock.cellSeconds;
    out.blocks.clear();
    out.blocks.reserve(indexBlock.blocks.size());
    for (const TvmBlock& b : indexBlock.blocks) {
        out.blocks.push_back({b.key, encodeBlock(b)});
        if (out.blocks.back().bytes.empty()) return false;
    }
    return true;
}

namespace {

std::vector<TvmIndexLayout> layoutOf(const std::vector<EncodedIndexBlock>& indexBlocks) {
    std::vector<TvmIndexLayout> layout;
    layout.reserve(indexBlocks.size());
    for (const EncodedIndexBlock& ib : indexBlocks) {
        TvmIndexLayout& l = layout.emplace_back();
        l.levelTag = ib.levelTag;
        l.cellSeconds = ib.cellSeconds;
        for (const EncodedBlock& b : ib.blocks)
            l.blocks.push_back({b.key, static_cast<uint32_t>(b.bytes.size())});
    }
    return layout;
}

// The head of the file: header, index blocks with the offsets the blocks
// will have, name record. False when the file would outgrow 32-bit offsets.
bool encodeHead(std::u16string_view mapName, const std::vector<TvmIndexLayout>& layout,
                std::vector<uint8_t>& head) {
    const std::u16string_view name = cutName(mapName, kMaxMapNameUnits);
    uint64_t indexSize = 0, blockBytes = 0;
    for (const TvmIndexLayout& ib : layout) {
        indexSize += tvm::kIndexHeaderSize + tvm::kEntrySize * ib.blocks.size();
        for (const TvmBlockSize& b : ib.blocks) blockBytes += b.bytes;
    }
    const uint64_t nameAt = tvm::kHeaderSize + indexSize;
    uint64_t blockAt = nameAt + tvm::kNameHeaderSize + name.size() * 2;
    if (blockAt + blockBytes > kMaxFileSize) return false;

    ByteWriter w(head);
    w.bytes(tvm::kFileMagic);
    w.zeros(tvm::kIndexCountAt - 4);
    w.u32(static_cast<uint32_t>(layout.size()));
    w.u32(static_cast<uint32_t>(tvm::kHeaderSize));
    w.u32(static_cast<uint32_t>(nameAt));
    for (const TvmIndexLayout& ib : layout) {
        w.bytes(tvm::kIndexMagic);
        w.u8(ib.levelTag);
        w.zeros(3);
        w.u32(static_cast<uint32_t>(ib.blocks.size()));
        w.u32(ib.cellSeconds);
        w.zeros(4);
        for (const TvmBlockSize& b : ib.blocks) {
            w.i32(b.key);
            w.u32(static_cast<uint32_t>(blockAt));
            blockAt += b.bytes;
        }
    }
    w.zeros(tvm::kNameLengthAt);
    w.u16(static_cast<uint16_t>(name.size() * 2));
    w.text(name);
    return true;
}

} // namespace

std::vector<uint8_t> encodeTvm(std::u16string_view mapName,
                               const std::vector<TvmIndexBlock>& indexBlocks) {
    std::vector<EncodedIndexBlock> encoded(indexBlocks.size());
    for (std::size_t i = 0; i < indexBlocks.size(); ++i)
        if (!encodeIndexBlock(indexBlocks[i], encoded[i])) return {};
    std::vector<uint8_t> out;
    if (!encodeHead(mapName, layoutOf(encoded), out)) return {};
    for (const EncodedIndexBlock& ib : encoded)
        for (const EncodedBlock& b : ib.blocks)
            out.insert(out.end(), b.bytes.begin(), b.bytes.end());
    return out;
}

bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<TvmIndexBlock>& indexBlocks, std::string* error) {
    std::vector<EncodedIndexBlock> encoded(indexBlocks.size());
    for (std::size_t i = 0; i < indexBlocks.size(); ++i)
        if (!encodeIndexBlock(indexBlocks[i], encoded[i])) {
            if (error) *error = tvmEncodingProblem(indexBlocks);
            return false;
        }
    return writeTvm(path, mapName, encoded, error);
}

bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<EncodedIndexBlock>& indexBlocks, std::string* error) {
    return writeTvm(
        path, mapName, layoutOf(indexBlocks),
        [&indexBlocks](int fd) {
            for (const EncodedIndexBlock& ib : indexBlocks)
                for (const EncodedBlock& b : ib.blocks)
                    if (!writeAll(fd, b.bytes.data(), b.bytes.size())) return false;
            return true;
        },
        error);
}

bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<TvmIndexLayout>& layout,
              const std::function<bool(int fd)>& writeBlocks, std::string* error) {
    std::vector<uint8_t> head;
    if (!encodeHead(mapName, layout, head)) return fail(error, "map file would exceed 4 GiB");
    // A new file beside the name, renamed over it when whole; a name that is
    // a device or a pipe is refused (platform/file_output.hpp).
    ReplacementFile out;
    if (!out.create(path, error)) return false;
    const int fd = ::fileno(out.stream());
    if (!writeAll(fd, head.data(), head.size()) || !writeBlocks(fd))
        return fail(error, out.temporaryPath() + ": " + std::strerror(errno));
    return out.commit(error);
}

bool writeAll(int fd, const void* data, std::size_t n) {
    const auto* bytes = static_cast<const uint8_t*>(data);
    while (n > 0) {
        const ssize_t done = ::write(fd, bytes, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) return false;
        bytes += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

} // namespace tevo
