// A further output compiled in the same run as the map (the name index) sees
// the OSM objects as the map's own reading does, from the same read of the
// input: every node, every way with the locations of its nodes filled in
// (invalid where the input lacks the node), and every area the assembler
// builds from closed ways and multipolygon or boundary relations.
#pragma once

#include <osmium/osm/area.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

namespace tevo::tvmc {

class OsmObserver {
public:
    virtual ~OsmObserver() = default;
    virtual void node(const osmium::Node&) {}
    virtual void relation(const osmium::Relation&) {}
    virtual void way(const osmium::Way&) {}
    virtual void area(const osmium::Area&) {}
};

} // namespace tevo::tvmc
