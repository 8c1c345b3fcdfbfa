// Turns OSM objects into map features: nodes into POIs, ways into lines,
// assembled areas into polygons (and the POIs of areas such as a museum
// mapped as a building), each numbered by the object it comes from.
#pragma once

#include "tools/tvmc/osm_reader.hpp"

#include <osmium/handler.hpp>
#include <osmium/osm/area.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/way.hpp>

#include <utility>
#include <vector>

namespace tevo::tvmc {

struct TypeChoice;

class FeatureCollector : public osmium::handler::Handler {
public:
    FeatureCollector(const ReadOptions& options, ReadStats& stats)
        : options_(options), stats_(stats) {}

    void node(const osmium::Node& node);
    // A way whose node locations are filled in (invalid where missing).
    void way(const osmium::Way& way);
    void area(const osmium::Area& area);
    // Sends the features still held; call once the collector's thread is
    // done with it.
    void flush();

    bool southSeen() const { return southSeen_; }
    double southLatitude() const { return southLat_; }

private:
    bool drawArea(const osmium::Area& area); // false when no ring could be used
    template <typename TRing> std::vector<TvmPoint> ringOf(const TRing& osmRing);
    bool inCut(TvmPoint p) const;
    void noteSouth(const osmium::Location& loc); // the first node south of the equator
    void add(ObjectClass cls, const TypeChoice& choice, std::u16string name,
             std::vector<TvmPoint> points);
    void addPoi(const TypeChoice& choice, std::u16string name, TvmPoint p);
    void addLine(const TypeChoice& choice, const std::u16string& name,
                 std::vector<TvmPoint> points);
    void addPolygon(const TypeChoice& choice, const std::u16string& name,
                    std::vector<TvmPoint> ring);

    const ReadOptions& options_;
    ReadStats& stats_;
    std::vector<Feature> batch_;                             // made, not yet sent
    SourceRef source_;                                       // the object being read
    std::vector<std::pair<const char*, const char*>> pairs_; // its tags (TagView)
    bool southSeen_ = false;
    double southLat_ = 0;
};

} // namespace tevo::tvmc
