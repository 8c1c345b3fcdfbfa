#include "route/road_graph.hpp"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tevo::route {

namespace {

using namespace tvr;

// Offsets within an index section run from 0 up to the end of the section
// they point into.
bool isIndex(std::span<const uint32_t> first, uint64_t end) {
    if (first.empty() || first.front() != 0 || first.back() != end) return false;
    for (std::size_t i = 1; i < first.size(); ++i)
        if (first[i] < first[i - 1]) return false;
    return true;
}

bool refuse(std::string& why, std::string text) {
    why = std::move(text);
    return false;
}

std::string countText(const char* what, uint64_t n) {
    return std::string(what) + " " + std::to_string(n);
}

} // namespace

cRoadGraph::~cRoadGraph() {
    close();
}

void cRoadGraph::close() {
    if (data_) ::munmap(const_cast<uint8_t*>(data_), size_);
    data_ = nullptr;
    size_ = 0;
    header_ = nullptr;
    base_ = {};
    hierarchy_ = {};
    pointFirst_ = nameFirst_ = {};
    points_ = {};
    nameText_ = {};
    boxes_ = {};
}

bool cRoadGraph::open(const std::string& path, std::string* error) {
    close();
    std::string why;
    const bool ok = mapFile(path, why) && takeSections(why) && checkJunctionsAndArms(why) &&
                    checkEdges(why) && checkHierarchy(why);
    if (ok) {
        hierarchy_.grouped = shortcutsGrouped();
        return true;
    }
    close();
    if (error) *error = path + ": not a usable road graph: " + why;
    return false;
}

bool cRoadGraph::mapFile(const std::string& path, std::string& why) {
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        why = std::strerror(errno);
        return false;
    }
    struct stat st {};
    void* mapped = MAP_FAILED;
    if (::fstat(fd, &st) != 0)
        why = std::strerror(errno);
    else if (!S_ISREG(st.st_mode))
        why = "not a regular file";
    else if (static_cast<uint64_t>(st.st_size) < sizeof(Header))
        why = "shorter than its header";
    else
        mapped =
            ::mmap(nullptr, static_cast<std::size_t>(st.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    if (mapped == MAP_FAILED && why.empty()) why = std::strerror(errno);
    ::close(fd);
    if (mapped == MAP_FAILED) return false;
    data_ = static_cast<const uint8_t*>(mapped);
    size_ = static_cast<uint64_t>(st.st_size);
    return true;
}

template <typename T> std::span<const T> cRoadGraph::section(Section s) const {
    const SectionEntry& e = header_->sections[s];
    return {reinterpret_cast<const T*>(data_ + e.offset), static_cast<std::size_t>(e.count)};
}

bool cRoadGraph::takeSections(std::string& why) {
    header_ = reinterpret_cast<const Header*>(data_);
    if (header_->magic != kMagic) return refuse(why, "not a road graph file");
    if (header_->version != kVersion)
        return refuse(why, "format version " + std::to_string(header_->version) +
                               ", this program reads version " + std::to_string(kVersion));
    if (header_->sectionCount != kSectionCount) return refuse(why, "wrong number of sections");
    for (uint32_t s = 0; s < kSectionCount; ++s) {
        const SectionEntry& e = header_->sections[s];
        const bool inside = e.offset % kSectionAlign == 0 && e.offset >= sizeof(Header) &&
                            e.offset <= size_ && e.count <= (size_ - e.offset) / kRecordSize[s];
        if (!inside)
            return refuse(why, std::string("the ") + kSectionName[s] + " lie outside the file");
    }
    const uint64_t junctions = header_->sections[kJunctions].count;
    const uint64_t edges = header_->sections[kEdges].count;
    const uint64_t expected[kSectionCount] = {junctions,
                                              junctions + 1,
                                              2 * edges,
                                              edges,
                                              edges + 1,
                                              header_->sections[kPoints].count,
                                              header_->sections[kNameFirst].count,
                                              header_->sections[kNameText].count,
                                              header_->sections[kTurnBans].count,
                                              junctions,
                                              junctions + 1,
                                              header_->sections[kShortcuts].count,
                                              indexBoxCount(edges)};
    for (uint32_t s = 0; s < kSectionCount; ++s)
        if (header_->sections[s].count != expected[s])
            return refuse(why, std::string("the ") + kSectionName[s] + " do not match the edges");
    if (edges >= (1u << 31) || header_->sections[kNameFirst].count == 0)
        return refuse(why, "too many edges or no name index");
    base_ = {section<Coord>(kJunctions), section<uint32_t>(kArmFirst), section<uint32_t>(kArms),
             section<Edge>(kEdges), section<TurnBan>(kTurnBans)};
    hierarchy_ = {section<uint32_t>(kRanks), section<uint32_t>(kShortcutFirst),
                  section<Shortcut>(kShortcuts)};
    pointFirst_ = section<uint32_t>(kPointFirst);
    points_ = section<Coord>(kPoints);
    nameFirst_ = section<uint32_t>(kNameFirst);
    nameText_ = section<uint8_t>(kNameText);
    boxes_ = section<Box>(kIndexBoxes);
    return true;
}

bool cRoadGraph::checkJunctionsAndArms(std::string& why) const {
    if (!isIndex(base_.armFirst, base_.arms.size()))
        return refuse(why, "the arm index does not cover the arms");
    const uint32_t nodes = base_.nodeCount();
    for (uint32_t j = 0; j + 1 < base_.armFirst.size(); ++j)
        for (uint32_t a = base_.armFirst[j]; a < base_.armFirst[j + 1]; ++a) {
            const NodeId x = base_.arms[a];
            if (x >= nodes) return refuse(why, countText("arm", a) + " names no edge");
            const Edge& e = base_.edges[edgeOf(x)];
            if ((againstWay(x) ? e.to : e.from) != j)
                return refuse(why, countText("arm", a) + " does not leave its junction");
        }
    return true;
}

bool cRoadGraph::checkEdges(std::string& why) const {
    const uint32_t junctions = static_cast<uint32_t>(base_.junctions.size());
    const uint64_t names = nameFirst_.size() - 1;
    for (uint32_t i = 0; i < base_.edges.size(); ++i) {
        const Edge& e = base_.edges[i];
        if (e.from >= junctions || e.to >= junctions || (e.nameClass & kNameMask) >= names ||
            (e.nameClass >> kClassShift) >= kRoadClassCount ||
            (e.costFlags & ~(kCostMask | kEdgeKnownFlags)) != 0)
            return refuse(why, countText("edge", i) + " is damaged");
    }
    if (!isIndex(pointFirst_, points_.size()) || !isIndex(nameFirst_, nameText_.size()))
        return refuse(why, "the point or name index is damaged");
    const uint32_t nodes = base_.nodeCount();
    for (std::size_t i = 0; i < base_.bans.size(); ++i) {
        const TurnBan& b = base_.bans[i];
        if (b.from >= nodes || b.to >= nodes ||
            (i > 0 && !BaseGraph::banLess(base_.bans[i - 1], b)))
            return refuse(why, countText("turn ban", i) + " is damaged");
    }
    return true;
}

// Unpacking a shortcut descends to its middle, which must rank below its
// owner: with that checked here, every unpacking ends.
bool cRoadGraph::shortcutsGrouped() const {
    for (uint32_t j = 0; j + 1 < hierarchy_.shortcutFirst.size(); ++j) {
        const auto list = hierarchy_.shortcutsOf(j);
        for (std::size_t i = 1; i < list.size(); ++i)
            if (Hierarchy::kindOf(list[i]) < Hierarchy::kindOf(list[i - 1])) return false;
    }
    return true;
}

bool cRoadGraph::checkHierarchy(std::string& why) const {
    const uint32_t junctions = static_cast<uint32_t>(base_.junctions.size());
    const auto& ranks = hierarchy_.ranks;
    for (uint32_t j = 0; j < junctions; ++j)
        if (ranks[j] >= junctions)
            return refuse(why, countText("rank of junction", j) + " is damaged");
    if (!isIndex(hierarchy_.shortcutFirst, hierarchy_.shortcuts.size()))
        return refuse(why, "the shortcut index does not cover the shortcuts");
    for (uint32_t j = 0; j < junctions; ++j)
        for (const Shortcut& s : hierarchy_.shortcutsOf(j))
            if (!shortcutFits(j, s))
                return refuse(why, countText("a shortcut of junction", j) + " is damaged");
    return true;
}

bool cRoadGraph::shortcutFits(uint32_t owner, const Shortcut& s) const {
    const auto& ranks = hierarchy_.ranks;
    if (s.farRoad >= base_.nodeCount() || s.middle >= base_.junctions.size() ||
        ranks[s.middle] >= ranks[owner] || s.nearArm >= base_.degree(owner))
        return false;
    const bool loop = (s.weightFlags & kShortcutLoop) != 0;
    const bool back = (s.weightFlags & kShortcutBackward) != 0;
    const uint32_t far = back ? base_.tail(s.farRoad) : base_.head(s.farRoad);
    return loop ? !back && far == owner : ranks[far] > ranks[owner];
}

} // namespace tevo::route
