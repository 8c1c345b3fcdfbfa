// The drawable map objects (also used for tracks), the growable array of owned
// objects, and the objects of one loaded map block.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

namespace tevo {

// A point in map units: 2^26 units per 360 degrees, x east, y north.
struct MapPoint {
    int32_t x = 0;
    int32_t y = 0;
    bool operator==(const MapPoint&) const = default;
};

class cMapAbstractObject {
public:
    virtual ~cMapAbstractObject() = default;

    int32_t mark = -1;   // 0 for objects read from the map file; tracks keep -1
    int32_t type = -1;   // the record's object type; -1 for tracks
    std::u16string name; // empty: no name
};

class cPOI : public cMapAbstractObject {
public:
    int32_t x = 0;
    int32_t y = 0;
};

// Polylines, polygons (closed implicitly) and tracks.
class cPolyLine : public cMapAbstractObject {
public:
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    std::vector<MapPoint> points;

    // Sets the bounding box and turns the points so that the turn at the
    // lowest (then leftmost) vertex is not negative. Fewer than 3 points are
    // never turned; no points leave an all-zero box.
    void normalise();
};

// A growable array of owned objects; removing one keeps the order of the rest.
template <typename T> class cPtrArray {
public:
    int size() const { return static_cast<int>(items_.size()); }
    bool empty() const { return items_.empty(); }
    T* operator[](int i) const { return items_[static_cast<std::size_t>(i)].get(); }
    auto begin() const { return items_.begin(); }
    auto end() const { return items_.end(); }

    void reserve(std::size_t n) { items_.reserve(n); }
    void append(std::unique_ptr<T> item) { items_.push_back(std::move(item)); }
    void removeAt(int i) { items_.erase(items_.begin() + i); }
    void clear() { items_.clear(); }
    // Removes (destroying) every item for which pred is true.
    template <typename Pred> void removeIf(Pred pred) {
        std::erase_if(items_, [&](const std::unique_ptr<T>& p) { return pred(*p); });
    }

private:
    std::vector<std::unique_ptr<T>> items_;
};

// The objects of one map cell, read together and dropped together.
class cBlockObjects {
public:
    cPtrArray<cPOI> pois;
    cPtrArray<cPolyLine> polylines;
    cPtrArray<cPolyLine> polygons;
    cPtrArray<cPolyLine> upperPolygons; // drawn after the polylines
    int32_t key = 0;                    // the cell's key
    uint32_t offset = 0;                // the block's position in the file
    bool evict = false;                 // set while the cache drops cells that left the view
};

} // namespace tevo
