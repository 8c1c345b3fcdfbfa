#include "tools/tvmc/feature_collector.hpp"

#include "tools/tvmc/clip.hpp"
#include "tools/tvmc/geometry.hpp"
#include "tools/tvmc/tag_view.hpp"
#include "tools/tvmc/type_table.hpp"

#include <cmath>
#include <cstring>

namespace tevo::tvmc {

namespace {

TvmPoint toUnits(const osmium::Location& loc) {
    return toMapUnits(loc.lon(), loc.lat());
}

} // namespace

void FeatureCollector::node(const osmium::Node& node) {
    ++stats_.nodes;
    source_ = {node.id(), 0, SourceRef::Node};
    const osmium::Location loc = node.location();
    if (!loc.valid()) {
        ++stats_.invalidLocations;
        return;
    }
    // Most nodes are only points of ways: without a cut, their hemisphere
    // is all that is asked of them.
    const bool tagged = !node.tags().empty();
    if (!tagged && !options_.cut) {
        noteSouth(loc);
        return;
    }
    const TvmPoint p = toUnits(loc);
    if (!inCut(p)) return;
    noteSouth(loc);
    if (!tagged) return;
    const TagGet tags = TagView(node.tags(), pairs_);
    if (auto choice = poiType(tags)) addPoi(*choice, objectName(tags, ObjectClass::Poi), p);
}

void FeatureCollector::way(const osmium::Way& way) {
    ++stats_.ways;
    source_ = {way.id(), 0, SourceRef::Way};
    const osmium::WayNodeList& nodes = way.nodes();
    for (const osmium::NodeRef& ref : nodes) {
        if (!ref.location().valid()) {
            ++stats_.waysMissingNodes;
            return;
        }
    }
    // A way of one node or none is no line, and libosmium must not be
    // asked whether an empty one is closed.
    if (nodes.size() < 2) return;
    const TagGet tags = TagView(way.tags(), pairs_);
    const char* area = tags("area");
    if (way.is_closed() && area && std::strcmp(area, "yes") == 0) return;
    const std::optional<TypeChoice> choice = polylineType(tags);
    if (!choice) return;
    // The points only of a way that draws a line (most are buildings).
    std::vector<TvmPoint> points;
    points.reserve(nodes.size());
    for (const osmium::NodeRef& ref : nodes) points.push_back(toUnits(ref.location()));
    addLine(*choice, objectName(tags, ObjectClass::Polyline), std::move(points));
}

void FeatureCollector::area(const osmium::Area& area) {
    // The assembler hands on an area without rings where its rings cross
    // themselves or do not close, and a ring of fewer than three distinct
    // points holds no surface: such areas are counted apart.
    if (drawArea(area))
        ++stats_.areas;
    else
        ++stats_.areasBroken;
}

bool FeatureCollector::drawArea(const osmium::Area& area) {
    bool drawn = false;
    source_ = {area.orig_id(), 0, area.from_way() ? SourceRef::WayArea : SourceRef::RelationArea};
    const TagGet tags = TagView(area.tags(), pairs_);
    const std::u16string name = objectName(tags, ObjectClass::Polygon);
    const std::optional<TypeChoice> border = area.from_way() ? std::nullopt : borderType(tags);
    const std::optional<TypeChoice> poi = poiType(tags);
    for (const osmium::OuterRing& outer : area.outer_rings()) {
        Ring ring = ringOf(outer);
        if (ring.size() < 3) continue;
        drawn = true;
        if (border) {
            Ring line = ring;
            line.push_back(ring.front());
            addLine(*border, name, std::move(line));
            continue;
        }
        std::vector<Ring> holes;
        for (const osmium::InnerRing& inner : area.inner_rings(outer))
            holes.push_back(ringOf(inner));
        const double metres2 = ringArea(ring) * kMetresPerMapUnit * kMetresPerMapUnit *
                               std::cos(outer.front().location().lat() * M_PI / 180.0);
        if (auto choice = polygonType(tags, metres2))
            addPolygon(*choice, name, joinHoles(ring, std::move(holes)));
        if (poi) addPoi(*poi, objectName(tags, ObjectClass::Poi), labelPoint(ring));
    }
    return drawn;
}

template <typename TRing> Ring FeatureCollector::ringOf(const TRing& osmRing) {
    Ring ring;
    ring.reserve(osmRing.size());
    for (const osmium::NodeRef& ref : osmRing) {
        if (!ref.location().valid()) return {};
        ring.push_back(toUnits(ref.location()));
    }
    dropDuplicates(ring, true);
    return ring;
}

void FeatureCollector::noteSouth(const osmium::Location& loc) {
    if (loc.y() >= 0 || southSeen_) return;
    southSeen_ = true;
    southLat_ = loc.lat();
}

bool FeatureCollector::inCut(TvmPoint p) const {
    if (!options_.cut) return true;
    const UnitRect& r = *options_.cut;
    return p.x >= r.x0 && p.x <= r.x1 && p.y >= r.y0 && p.y <= r.y1;
}

// The features go out a few hundred at a time: one hand-over to the
// cutting's thread for each, not one for every feature.
void FeatureCollector::add(ObjectClass cls, const TypeChoice& choice, std::u16string name,
                           std::vector<TvmPoint> points) {
    constexpr std::size_t kBatchFeatures = 256;
    if (batch_.capacity() == 0) batch_.reserve(kBatchFeatures);
    batch_.push_back(
        {cls, choice.type, choice.maxCellSeconds, std::move(name), std::move(points), source_});
    ++source_.part;
    if (batch_.size() == kBatchFeatures) flush();
}

void FeatureCollector::flush() {
    if (batch_.empty()) return;
    options_.features(std::move(batch_));
    batch_ = {};
}

void FeatureCollector::addPoi(const TypeChoice& choice, std::u16string name, TvmPoint p) {
    if (!inCut(p)) return;
    add(ObjectClass::Poi, choice, std::move(name), {p});
}

void FeatureCollector::addLine(const TypeChoice& choice, const std::u16string& name,
                               std::vector<TvmPoint> points) {
    dropDuplicates(points, false);
    if (points.size() < 2) return;
    if (!options_.cut) {
        add(ObjectClass::Polyline, choice, name, std::move(points));
        return;
    }
    for (auto& piece : clipPolyline(points, *options_.cut))
        add(ObjectClass::Polyline, choice, name, std::move(piece));
}

void FeatureCollector::addPolygon(const TypeChoice& choice, const std::u16string& name, Ring ring) {
    if (options_.cut) ring = clipPolygon(ring, *options_.cut);
    if (ring.size() < 3) return;
    add(ObjectClass::Polygon, choice, name, std::move(ring));
}

} // namespace tevo::tvmc
