// The name index's view of the read: named places, POIs, areas and street
// pieces, each kept as a small record with its name text once (name_store.hpp).
// It needs about 40 bytes a record and the name texts once each.
#pragma once

#include "tools/tvmc/name_index/name_store.hpp"
#include "tools/tvmc/osm_observer.hpp"

#include <optional>

namespace tevo::tvmc {

class NameCollector : public OsmObserver {
public:
    // Only what lies inside `cut` (map units) is kept, when there is one.
    explicit NameCollector(std::optional<UnitRect> cut) : cut_(cut) {}

    void node(const osmium::Node& node) override;
    void way(const osmium::Way& way) override;
    void area(const osmium::Area& area) override;

    NameStore& store() { return store_; }

private:
    bool inCut(TvmPoint p) const;
    uint32_t cityOf(const osmium::TagList& tags);
    void noteAddress(const osmium::TagList& tags, TvmPoint at);

    std::optional<UnitRect> cut_;
    NameStore store_;
};

} // namespace tevo::tvmc
