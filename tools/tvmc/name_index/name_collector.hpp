// The name index's view of the read: named places, POIs, areas and street
// pieces, each kept as a small record with its name text once (name_store.hpp).
// It needs about 40 bytes a record and the name texts once each, and keeps to
// its share of the run's memory bound: beyond it the records are dropped and
// the run ends with a message after the read, rather than outgrow the bound.
#pragma once

#include "tools/tvmc/memory_budget.hpp"
#include "tools/tvmc/name_index/name_store.hpp"
#include "tools/tvmc/osm_observer.hpp"
#include "tools/tvmc/type_table.hpp"

#include <optional>
#include <utility>
#include <vector>

namespace tevo::tvmc {

class NameCollector : public OsmObserver {
public:
    // Only what lies inside `cut` (map units) is kept, when there is one;
    // the records may take `memoryShare` bytes (0: no bound) of the run's
    // `bound`.
    explicit NameCollector(std::optional<UnitRect> cut, uint64_t memoryShare = 0,
                           uint64_t bound = 0)
        : cut_(cut), share_(memoryShare, bound, "the name index", "--no-name-index") {}

    void node(const osmium::Node& node) override;
    void way(const osmium::Way& way) override;
    void area(const osmium::Area& area) override;
    void widenShare(uint64_t bytes, uint64_t locations) override { share_.widen(bytes, locations); }
    // False when the records outgrew their share.
    bool finish(std::string* error) override;

    NameStore& store() { return store_; }

private:
    bool inCut(TvmPoint p) const;
    uint32_t cityOf(const TagGet& tags);
    void noteAddress(const TagGet& tags, TvmPoint at);
    // Counts an object (of the second pass: a way or an area) against the
    // share; true once it is outgrown.
    bool outgrown(bool secondPass);

    std::optional<UnitRect> cut_;
    OutputShare share_;
    NameStore store_;
    std::vector<std::pair<const char*, const char*>> pairs_; // the object's tags (TagView)
};

} // namespace tevo::tvmc
