// The road graph file, mapped into memory and checked whole when it is
// opened: every section must lie inside the file, every count agree with the
// others and every index point inside its section, so that searches and
// routes read it afterwards without checking again.
#pragma once

#include "route/base_graph.hpp"
#include "route/tvr_format.hpp"

#include <cstdint>
#include <span>
#include <string>
#include <string_view>

namespace tevo::route {

class cRoadGraph {
public:
    cRoadGraph() = default;
    ~cRoadGraph();
    cRoadGraph(const cRoadGraph&) = delete;
    cRoadGraph& operator=(const cRoadGraph&) = delete;

    // Maps and checks the file. A missing, foreign or damaged file is
    // refused with one line in *error ("PATH: not a usable road graph: ...").
    bool open(const std::string& path, std::string* error);
    void close();
    bool isOpen() const { return data_ != nullptr; }
    uint64_t fileSize() const { return size_; }

    const BaseGraph& base() const { return base_; }
    const Hierarchy& hierarchy() const { return hierarchy_; }

    uint32_t edgeCount() const { return static_cast<uint32_t>(base_.edges.size()); }
    // The shape points between the edge's two junctions, in the way's order.
    std::span<const tvr::Coord> shapePoints(uint32_t edge) const {
        return points_.subspan(pointFirst_[edge], pointFirst_[edge + 1] - pointFirst_[edge]);
    }
    std::string_view name(uint32_t index) const {
        return {reinterpret_cast<const char*>(nameText_.data()) + nameFirst_[index],
                nameFirst_[index + 1] - nameFirst_[index]};
    }
    // The spatial index, leaves first (tvr::forEachIndexLevel gives the
    // sizes of the levels).
    std::span<const tvr::Box> indexBoxes() const { return boxes_; }
    // The box around every road: the spatial index's last level, one box.
    tvr::Box bounds() const { return boxes_.empty() ? tvr::Box{} : boxes_.back(); }

private:
    bool mapFile(const std::string& path, std::string& why);
    bool takeSections(std::string& why);
    bool checkJunctionsAndArms(std::string& why) const;
    bool checkEdges(std::string& why) const;
    bool checkHierarchy(std::string& why) const;
    bool shortcutsGrouped() const;
    bool shortcutFits(uint32_t owner, const tvr::Shortcut& s) const;

    template <typename T> std::span<const T> section(tvr::Section s) const;

    const uint8_t* data_ = nullptr;
    uint64_t size_ = 0;
    const tvr::Header* header_ = nullptr;
    BaseGraph base_;
    Hierarchy hierarchy_;
    std::span<const uint32_t> pointFirst_, nameFirst_;
    std::span<const tvr::Coord> points_;
    std::span<const uint8_t> nameText_;
    std::span<const tvr::Box> boxes_;
};

} // namespace tevo::route
