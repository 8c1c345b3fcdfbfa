#include "tools/tvmc/road_graph/tvr_writer.hpp"

#include "platform/file_output.hpp"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <span>

namespace tevo::tvmc {

namespace {

using namespace tvr;

struct Piece {
    const void* data;
    uint64_t count;
};

template <typename T> Piece pieceOf(const std::vector<T>& v) {
    return {v.data(), v.size()};
}

} // namespace

bool writeRoadGraph(const std::string& path, const RoadNetwork& net, const std::vector<Box>& index,
                    std::string* error) {
    std::vector<uint32_t> nameFirst{0};
    std::string nameText;
    for (const std::string& n : net.names) {
        nameText += n;
        nameFirst.push_back(static_cast<uint32_t>(nameText.size()));
    }
    const Piece pieces[kSectionCount] = {pieceOf(net.junctions),
                                         pieceOf(net.armFirst),
                                         pieceOf(net.arms),
                                         pieceOf(net.edges),
                                         pieceOf(net.pointFirst),
                                         pieceOf(net.points),
                                         pieceOf(nameFirst),
                                         {nameText.data(), nameText.size()},
                                         pieceOf(net.bans),
                                         pieceOf(net.ranks),
                                         pieceOf(net.shortcutFirst),
                                         pieceOf(net.shortcuts),
                                         pieceOf(index)};
    Header header;
    uint64_t at = sizeof(Header);
    for (uint32_t s = 0; s < kSectionCount; ++s) {
        header.sections[s] = {at, pieces[s].count};
        at +=
            (pieces[s].count * kRecordSize[s] + kSectionAlign - 1) / kSectionAlign * kSectionAlign;
    }
    // A new file beside the name, renamed over it when whole, as the map is
    // written (platform/file_output.hpp).
    ReplacementFile out;
    if (!out.create(path, error)) return false;
    std::FILE* f = out.stream();
    bool written = std::fwrite(&header, sizeof header, 1, f) == 1;
    static const char kZeros[kSectionAlign] = {};
    for (uint32_t s = 0; s < kSectionCount && written; ++s) {
        const uint64_t bytes = pieces[s].count * kRecordSize[s];
        const uint64_t pad = (kSectionAlign - bytes % kSectionAlign) % kSectionAlign;
        written = (bytes == 0 || std::fwrite(pieces[s].data, 1, bytes, f) == bytes) &&
                  std::fwrite(kZeros, 1, pad, f) == pad;
    }
    if (!written) {
        if (error) *error = out.temporaryPath() + ": " + std::strerror(errno);
        return false;
    }
    return out.commit(error);
}

} // namespace tevo::tvmc
