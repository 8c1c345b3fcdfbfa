#include "map/track_log.hpp"

#include "platform/directory.hpp"
#include "platform/text.hpp"

#include <cctype>

namespace tevo {

namespace {

constexpr std::string_view kTrackExtension = ".plt";

// "*.plt" as a folder search matches it: the extension in any case.
bool isTrackName(const std::string& name) {
    if (name.size() < kTrackExtension.size()) return false;
    const std::string_view tail =
        std::string_view(name).substr(name.size() - kTrackExtension.size());
    for (std::size_t i = 0; i < tail.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(tail[i])) != kTrackExtension[i]) return false;
    return true;
}

} // namespace

bool loadTrackFile(const std::string& path, cPtrArray<cPolyLine>& tracks) {
    TrackLog log;
    if (!readTrack(path, log)) return false;
    for (auto& piece : buildTrackObjects(log)) tracks.append(std::move(piece));
    return true;
}

bool loadTrack(std::u16string_view path, cPtrArray<cPolyLine>& tracks) {
    // Paths are built by the program; cutting a long one would open another file.
    return loadTrackFile(toNarrowPath(path), tracks);
}

bool loadTrackFolder(const std::string& folder, cPtrArray<cPolyLine>& tracks) {
    if (folder.empty()) return true;
    const std::string prefix = folder.back() == '/' ? folder : folder + '/';
    for (const DirEntry& entry : listDirectory(folder)) {
        if (entry.isDirectory || entry.name.front() == '.' || !isTrackName(entry.name)) continue;
        loadTrackFile(prefix + entry.name, tracks);
    }
    return true;
}

} // namespace tevo
