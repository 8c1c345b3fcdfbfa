// The one encoder of the map file format, used by the map compiler and by the
// tests that build maps in code. Everything it writes reads back through
// cMapFile exactly as given.
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

namespace tevo {

struct TvmPoint {
    int32_t x = 0, y = 0;
};

struct TvmObject { // a POI has exactly one point
    uint16_t type = 0;
    std::vector<TvmPoint> points;
    // Encoded as UTF-16LE, cut to at most 255 bytes (127 units) without
    // splitting a surrogate pair.
    std::u16string name;
};

struct TvmBlock {
    int32_t key = 0;
    std::vector<TvmObject> pois, polylines, polygons; // polygons include upper polygons (by type)
};

struct TvmIndexBlock {
    uint8_t levelTag = 0;
    uint32_t cellSeconds = 0;     // cell size S in arc-seconds
    std::vector<TvmBlock> blocks; // written in the given order
};

// Blocks already encoded (encodeBlock's bytes), so that a large map need not
// be held twice, as objects and as bytes.
struct EncodedBlock {
    int32_t key = 0;
    std::vector<uint8_t> bytes;
};

struct EncodedIndexBlock {
    uint8_t levelTag = 0;
    uint32_t cellSeconds = 0;
    std::vector<EncodedBlock> blocks; // written in the given order
};

// Encodes one block: the 40-byte header with the exact data size, then the
// records. Refuses (returns an empty vector) a POI without exactly one point
// and a polyline or polygon of more than 65535 points: splitting them is the
// caller's job, and a wrong count must never reach the file.
std::vector<uint8_t> encodeBlock(const TvmBlock& block);

// Encodes a whole file: the 456-byte header, the index blocks one after another
// at offset 456, then the name record, then the blocks in index order. Index
// blocks are written in the given order. Returns an empty vector when a block
// is refused (see encodeBlock) or the file would outgrow 32-bit offsets.
std::vector<uint8_t> encodeTvm(std::u16string_view mapName,
                               const std::vector<TvmIndexBlock>& indexBlocks);

// Encodes every block of the index block; false when one is refused.
bool encodeIndexBlock(const TvmIndexBlock& indexBlock, EncodedIndexBlock& out);

// Why encodeTvm would refuse these index blocks, or an empty text when it
// would not.
std::string tvmEncodingProblem(const std::vector<TvmIndexBlock>& indexBlocks);

// Writes encodeTvm's bytes to a temporary file beside `path` and renames it
// over `path` (ReplacementFile: made without a name until it is complete, or
// created exclusively, never through a link; a `path` that leads to a
// device, a pipe or a folder is refused and left as it is); on any failure
// removes the temporary file and returns false with a message in *error (when
// error is not null). A run killed before the end leaves the old file.
bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<TvmIndexBlock>& indexBlocks, std::string* error);

// The same for blocks encoded before; the file is written piece by piece.
bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<EncodedIndexBlock>& indexBlocks, std::string* error);

// An index block whose blocks are held elsewhere (a map too large to hold in
// memory): the key and byte size of each block, in file order.
struct TvmBlockSize {
    int32_t key = 0;
    uint32_t bytes = 0;
};
struct TvmIndexLayout {
    uint8_t levelTag = 0;
    uint32_t cellSeconds = 0;
    std::vector<TvmBlockSize> blocks;
};

// The same for such a layout: writes the header, the index and the name,
// then calls writeBlocks, which writes every block's bytes in index order at
// the descriptor's position and returns false on failure.
bool writeTvm(const std::string& path, std::u16string_view mapName,
              const std::vector<TvmIndexLayout>& layout,
              const std::function<bool(int fd)>& writeBlocks, std::string* error);

// Writes all `n` bytes to the descriptor, through short writes and
// interruptions; false (errno telling why) when it cannot.
bool writeAll(int fd, const void* data, std::size_t n);

} // namespace tevo
