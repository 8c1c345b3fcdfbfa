// A further output compiled in the same run as the map (a road graph, a
// name index) sees the OSM objects as the map's own reading does, from the
// same read of the input: nodes and relations in the first pass, then every
// way with the locations of its nodes from the run's location store. It
// takes its memory from the run's bound (MemoryBudget::outputShare).
#pragma once

#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include <string>

namespace tevo::tvmc {

class OsmObserver {
public:
    virtual ~OsmObserver() = default;
    // First pass, in input order.
    virtual void node(const osmium::Node&) {}
    virtual void relation(const osmium::Relation&) {}
    // Second pass, in input order. A node that the input lacks (or whose
    // position is invalid) has an invalid location.
    virtual void way(const osmium::Way&) {}
    // After the second pass; false (message in *error) stops the run.
    virtual bool finish(std::string* /*error*/) { return true; }
};

} // namespace tevo::tvmc
