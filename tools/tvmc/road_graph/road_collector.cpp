#include "tools/tvmc/road_graph/road_collector.hpp"

#include "tools/tvmc/release.hpp"
#include "tools/tvmc/road_graph/car_profile.hpp"
#include "tools/tvmc/varint.hpp"

#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include <algorithm>
#include <cmath>
#include <string_view>

namespace tevo::tvmc {

namespace {

TagGet tagsOf(const osmium::TagList& tags) {
    return [&tags](const char* key) { return tags.get_value_by_key(key); };
}

bool inside(const std::optional<UnitRect>& cut, const osmium::Location& loc) {
    if (!cut) return true;
    const TvmPoint p = toMapUnits(loc.lon(), loc.lat());
    return p.x >= cut->x0 && p.x <= cut->x1 && p.y >= cut->y0 && p.y <= cut->y1;
}

} // namespace

uint32_t RoadCollector::nameIndex(const char* name) {
    if (!name || !*name) return 0;
    const auto [it, added] =
        nameIndex_.try_emplace(name, static_cast<uint32_t>(roads_.names.size()));
    if (added) {
        roads_.names.emplace_back(name);
        // The text in the list and in the map's key, and the map's node.
        nameBytes_ += 2 * (it->first.size() + sizeof(std::string)) + 32;
    }
    return it->second;
}

// What the collection holds, as its arrays have reserved it.
uint64_t RoadCollector::bytes() const {
    return roads_.ways.capacity() * sizeof(CollectedWay) + packed_.capacity() + nameBytes_ +
           roads_.restrictions.capacity() * sizeof(CollectedRestriction) +
           roads_.restrictionWays.capacity() * sizeof(int64_t);
}

// What it will hold unpacked, its arrays just large enough.
uint64_t RoadCollector::unpackedBytes() const {
    return roads_.ways.size() * sizeof(CollectedWay) +
           uint64_t{packedNodes_} * (sizeof(int64_t) + sizeof(tvr::Coord)) + nameBytes_ +
           roads_.restrictions.size() * sizeof(CollectedRestriction) +
           roads_.restrictionWays.size() * sizeof(int64_t);
}

// Beyond its shares the collection lets go of what it holds: the run ends
// after the read.
bool RoadCollector::outgrown() {
    const bool overShare = share_.count([this] { return bytes(); }, true);
    if (build_.count([this] { return unpackedBytes(); }, true) || overShare) {
        share_.letGo(bytes());
        build_.letGo(unpackedBytes());
        roads_ = RoadCollection{};
        release(nameIndex_);
        release(packed_);
        packedNodes_ = 0;
        nameBytes_ = 0;
    }
    return leftOut();
}

bool RoadCollector::finish(std::string* error) {
    // The bound to try must leave room for both.
    const uint64_t need = std::max(share_.boundNeeded(), build_.boundNeeded());
    return share_.finish(bytes(), error, need) && build_.finish(unpackedBytes(), error, need);
}

// Keeps the run of nodes just read as one way when it has at least two.
void RoadCollector::addRun(const CollectedWay& proto) {
    const std::size_t n = runIds_.size();
    if (n >= 2) {
        CollectedWay way = proto;
        way.firstNode = packedNodes_;
        way.nodeCount = static_cast<uint32_t>(n);
        roads_.ways.push_back(way);
        for (std::size_t i = 0; i < n; ++i) {
            // Ids may lie far apart: their difference wraps around, both ways.
            putSigned(packed_, static_cast<int64_t>(static_cast<uint64_t>(runIds_[i]) -
                                                    static_cast<uint64_t>(lastId_)));
            putSigned(packed_, int64_t{runCoords_[i].lon} - lastCoord_.lon);
            putSigned(packed_, int64_t{runCoords_[i].lat} - lastCoord_.lat);
            lastId_ = runIds_[i];
            lastCoord_ = runCoords_[i];
        }
        packedNodes_ += static_cast<uint32_t>(n);
    }
    runIds_.clear();
    runCoords_.clear();
}

RoadCollection RoadCollector::take() {
    roads_.nodeIds.resize(packedNodes_);
    roads_.coords.resize(packedNodes_);
    const uint8_t* p = packed_.data();
    int64_t id = 0;
    tvr::Coord at;
    for (uint32_t i = 0; i < packedNodes_; ++i) {
        id = static_cast<int64_t>(static_cast<uint64_t>(id) + static_cast<uint64_t>(getSigned(p)));
        at.lon = static_cast<int32_t>(at.lon + getSigned(p));
        at.lat = static_cast<int32_t>(at.lat + getSigned(p));
        roads_.nodeIds[i] = id;
        roads_.coords[i] = at;
    }
    release(packed_);
    release(nameIndex_);
    return std::move(roads_);
}

void RoadCollector::way(const osmium::Way& way) {
    if (outgrown()) return;
    const TagGet tags = tagsOf(way.tags());
    const std::optional<CarWay> car = carWay(tags);
    if (!car || way.nodes().size() < 2) return;
    // A way with a node missing from the input is left out, as on the map.
    for (const osmium::NodeRef& ref : way.nodes())
        if (!ref.location().valid()) return;
    CollectedWay proto;
    proto.id = way.id();
    proto.kmh = static_cast<float>(car->kmh);
    proto.roadClass = car->roadClass;
    proto.forward = car->forward;
    proto.backward = car->backward;
    proto.roundabout = car->roundabout;
    const char* name = tags("name");
    proto.name = nameIndex(name && *name ? name : tags("ref"));
    // Only the runs of nodes inside the cut are kept.
    for (const osmium::NodeRef& ref : way.nodes()) {
        if (!inside(cut_, ref.location())) {
            addRun(proto);
            continue;
        }
        runIds_.push_back(ref.ref());
        runCoords_.push_back({ref.location().x(), ref.location().y()});
    }
    addRun(proto);
}

void RoadCollector::relation(const osmium::Relation& relation) {
    if (leftOut()) return;
    const RestrictionKind kind = carRestriction(tagsOf(relation.tags()));
    if (kind == RestrictionKind::NotForCars) return;
    RestrictionStats& stats = roads_.restrictionStats;
    ++stats.read;
    CollectedRestriction r;
    r.only = kind == RestrictionKind::Only;
    std::vector<int64_t> from, to;
    bool viaWay = false, viaNodes = false, wrong = false;
    for (const osmium::RelationMember& m : relation.members()) {
        const std::string_view role = m.role();
        const bool isWay = m.type() == osmium::item_type::way;
        if (role == "from" || role == "to") {
            if (!isWay) wrong = true;
            (role == "from" ? from : to).push_back(m.ref());
        } else if (role == "via") {
            viaWay = viaWay || isWay;
            wrong = wrong || viaNodes || (!isWay && m.type() != osmium::item_type::node);
            if (m.type() == osmium::item_type::node) {
                r.via = m.ref();
                viaNodes = true;
            }
        }
    }
    if (viaWay) {
        ++stats.viaWays;
        return;
    }
    if (wrong || !viaNodes || from.empty() || to.empty() || (r.only && to.size() != 1)) {
        ++stats.malformed;
        return;
    }
    std::vector<int64_t>& ways = roads_.restrictionWays;
    r.firstWay = static_cast<uint32_t>(ways.size());
    r.fromWays = static_cast<uint32_t>(from.size());
    r.toWays = static_cast<uint32_t>(to.size());
    ways.insert(ways.end(), from.begin(), from.end());
    ways.insert(ways.end(), to.begin(), to.end());
    roads_.restrictions.push_back(r);
}

} // namespace tevo::tvmc
