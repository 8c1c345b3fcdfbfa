#include "tools/tvmc/name_index/name_collector.hpp"

#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/name_index/town_finder.hpp"
#include "tools/tvmc/tag_view.hpp"
#include "tools/tvmc/type_table.hpp"

#include <cmath>
#include <string>

namespace tevo::tvmc {

namespace {

using search::NameKind;

TvmPoint toUnits(const osmium::Location& loc) {
    return toMapUnits(loc.lon(), loc.lat());
}

// The point halfway along a line, measured on the ground (a map unit east
// is shorter than one north by the cosine of the latitude).
TvmPoint halfway(const std::vector<TvmPoint>& points) {
    const double east = std::cos(points.front().y / kUnitsPerDegree * M_PI / 180.0);
    auto length = [east](TvmPoint a, TvmPoint b) {
        return std::hypot((b.x - a.x) * east, static_cast<double>(b.y - a.y));
    };
    double total = 0;
    for (std::size_t i = 1; i < points.size(); ++i) total += length(points[i - 1], points[i]);
    double left = total / 2;
    for (std::size_t i = 1; i < points.size(); ++i) {
        const double step = length(points[i - 1], points[i]);
        if (step >= left && step > 0) {
            const double t = left / step;
            const TvmPoint a = points[i - 1], b = points[i];
            return {static_cast<int32_t>(std::lround(a.x + t * (b.x - a.x))),
                    static_cast<int32_t>(std::lround(a.y + t * (b.y - a.y)))};
        }
        left -= step;
    }
    return points.front();
}

double squareMetres(const Ring& ring) {
    const double lat = ring.front().y / kUnitsPerDegree;
    return ringArea(ring) * kMetresPerMapUnit * kMetresPerMapUnit * std::cos(lat * M_PI / 180.0);
}

} // namespace

bool NameCollector::inCut(TvmPoint p) const {
    if (!cut_) return true;
    return p.x >= cut_->x0 && p.x <= cut_->x1 && p.y >= cut_->y0 && p.y <= cut_->y1;
}

uint32_t NameCollector::cityOf(const TagGet& tags) {
    const char* city = tags("addr:city");
    return city && *city ? store_.names.add(city) : kNoName;
}

// A house's address counts for the town of its street.
void NameCollector::noteAddress(const TagGet& tags, TvmPoint at) {
    const char* street = tags("addr:street");
    const char* city = tags("addr:city");
    if (street && city && *street && *city && inCut(at))
        store_.addresses.add(store_.names.add(street), store_.names.add(city), at);
}

// Beyond its share the store lets go of its records: the run ends after
// the read.
bool NameCollector::outgrown(bool secondPass) {
    if (share_.count([this] { return store_.bytes(); }, secondPass)) store_ = NameStore{};
    return share_.outgrown();
}

bool NameCollector::finish(std::string* error) {
    return share_.finish(store_.bytes(), error);
}

void NameCollector::node(const osmium::Node& node) {
    if (outgrown(false)) return;
    if (node.tags().empty() || !node.location().valid()) return;
    const TvmPoint p = toUnits(node.location());
    if (!inCut(p)) return;
    const TagGet tags = TagView(node.tags(), pairs_);
    noteAddress(tags, p);
    const char* name = objectNameText(tags, ObjectClass::Poi);
    const std::optional<TypeChoice> type = poiType(tags);
    if (!name || !type) return;
    const PlaceKind* place = placeKind(tags("place"));
    NamedPoint named{store_.names.add(name),
                     cityOf(tags),
                     kNoName,
                     p,
                     type->type,
                     place ? NameKind::Place : NameKind::Poi,
                     place ? place->rank : uint8_t{0}};
    store_.points.push_back(named);
}

void NameCollector::way(const osmium::Way& way) {
    if (outgrown(true)) return;
    if (way.nodes().empty()) return;
    const TagGet tags = TagView(way.tags(), pairs_);
    if (way.nodes().front().location().valid())
        noteAddress(tags, toUnits(way.nodes().front().location()));
    if (!tags("highway")) return;
    const char* name = objectNameText(tags, ObjectClass::Polyline);
    const std::optional<TypeChoice> type = polylineType(tags);
    if (!name || !type || way.nodes().size() < 2) return;
    std::vector<TvmPoint> points;
    points.reserve(way.nodes().size());
    for (const osmium::NodeRef& ref : way.nodes()) {
        if (!ref.location().valid()) return;
        points.push_back(toUnits(ref.location()));
    }
    const TvmPoint middle = halfway(points);
    if (!inCut(middle)) return;
    store_.pieces.push_back(
        {store_.names.add(name), cityOf(tags), kNoName, middle, boundsOf(points), type->type});
}

// Areas name places (and enclose the points of their towns), POIs mapped
// as areas and named areas such as parks and lakes. Streets mapped as
// areas (squares) come from their ways.
void NameCollector::area(const osmium::Area& area) {
    if (outgrown(true)) return;
    const TagGet tags = TagView(area.tags(), pairs_);
    if (tags("highway")) return;
    // Most areas (buildings, fields) have no name: they cost nothing more.
    const char* poiName = objectNameText(tags, ObjectClass::Poi);
    const char* name = objectNameText(tags, ObjectClass::Polygon);
    if (!poiName && !name) return;
    std::vector<Ring> rings;
    for (const osmium::OuterRing& outer : area.outer_rings()) {
        Ring ring;
        for (const osmium::NodeRef& ref : outer) {
            if (!ref.location().valid()) return;
            ring.push_back(toUnits(ref.location()));
        }
        dropDuplicates(ring, true);
        if (ring.size() >= 3) rings.push_back(std::move(ring));
    }
    if (rings.empty()) return;
    const Ring& largest = *std::max_element(
        rings.begin(), rings.end(), [](auto& a, auto& b) { return ringArea(a) < ringArea(b); });
    const TvmPoint label = labelPoint(largest);
    if (!inCut(label)) return;
    const std::optional<TypeChoice> poi = poiType(tags);
    if (const PlaceKind* place = placeKind(tags("place")); place && poiName && poi) {
        double total = 0;
        std::vector<TvmPoint> all;
        for (const Ring& r : rings) {
            total += ringArea(r);
            all.insert(all.end(), r.begin(), r.end());
        }
        store_.placeAreas.push_back({store_.names.add(poiName), kNoName, place->rank, poi->type,
                                     label, boundsOf(all), std::move(rings), total});
        return;
    }
    if (poi && poiName) {
        store_.points.push_back(
            {store_.names.add(poiName), cityOf(tags), kNoName, label, poi->type, NameKind::Poi, 0});
        return;
    }
    const std::optional<TypeChoice> type = polygonType(tags, squareMetres(largest));
    if (name && type)
        store_.points.push_back(
            {store_.names.add(name), cityOf(tags), kNoName, label, type->type, NameKind::Area, 0});
}

} // namespace tevo::tvmc
