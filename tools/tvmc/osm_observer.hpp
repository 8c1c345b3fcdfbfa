// A further output compiled in the same run as the map (a road graph, a
// name index) sees the OSM objects as the map's own reading does, from the
// same read of the input: nodes and relations in the first pass, then every
// way with the locations of its nodes from the run's location store, and
// the areas assembled from closed ways and multipolygon or boundary
// relations. It takes its memory from the run's bound
// (MemoryBudget::outputShare).
//
// An output hooks in by one line in compileMap (compiler.cpp):
// `readOptions.observers.push_back(&output)`. The objects it is shown live
// only for the call; it copies what it keeps.
#pragma once

#include <osmium/osm/area.hpp>
#include <osmium/osm/node.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>

#include <cstdint>
#include <string>

namespace tevo::tvmc {

class OsmObserver {
public:
    virtual ~OsmObserver() = default;
    // First pass, in input order.
    virtual void node(const osmium::Node&) {}
    virtual void relation(const osmium::Relation&) {}
    // Second pass, in input order, on a thread other than the first pass's
    // (one call at a time). A node that the input lacks (or whose position
    // is invalid) has an invalid location.
    virtual void way(const osmium::Way&) {}
    // Second pass, as each area is assembled: a closed way's area comes
    // with the way, a relation's once its last member way has come. An
    // area's id is twice its way's id, or twice its relation's id plus one.
    virtual void area(const osmium::Area&) {}
    // Between the passes: more memory for what it holds from now on, its
    // part of what the node locations (`locations` bytes, in memory) left
    // unused of their share.
    virtual void widenShare(uint64_t /*bytes*/, uint64_t /*locations*/) {}
    // After the second pass: false (message in *error) leaves this output
    // out (ReadStats::leftOut); the map is still written.
    virtual bool finish(std::string* /*error*/) { return true; }
};

} // namespace tevo::tvmc
