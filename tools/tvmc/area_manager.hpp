// Collects the member ways of multipolygon and boundary relations and hands
// complete relations and closed ways to libosmium's area assembler. Unlike
// the library's own manager it accepts objects in any order: files saved by
// editors are not sorted by id, and the map must not depend on the order.
#pragma once

#include "tools/tvmc/osm_reader.hpp"
#include "tools/tvmc/simple_area.hpp"

#include <osmium/area/assembler.hpp>
#include <osmium/osm/location.hpp>
#include <osmium/osm/relation.hpp>
#include <osmium/osm/way.hpp>
#include <osmium/relations/relations_manager.hpp>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <vector>

namespace tevo::tvmc {

class AreaManager : public osmium::relations::RelationsManager<AreaManager, false, true, false,
                                                               /*check order*/ false> {
public:
    explicit AreaManager(osmium::area::Assembler::config_type config) : config_(config) {}

    // Relations of type multipolygon or boundary with one to kMaxAreaMembers
    // ways (osm_reader.hpp); larger ones are counted.
    bool new_relation(const osmium::Relation& relation) {
        const char* type = relation.tags().get_value_by_key("type");
        if (!type || (std::strcmp(type, "multipolygon") != 0 && std::strcmp(type, "boundary") != 0))
            return false;
        const auto ways = static_cast<std::size_t>(std::count_if(
            relation.members().cbegin(), relation.members().cend(),
            [](const osmium::RelationMember& m) { return m.type() == osmium::item_type::way; }));
        if (ways > kMaxAreaMembers) ++tooLarge_;
        return ways > 0 && ways <= kMaxAreaMembers;
    }

    // Relations left out for their size.
    uint64_t tooLarge() const { return tooLarge_; }

    // Every way member of a kept relation is noted.
    bool new_member(const osmium::Relation&, const osmium::RelationMember& member, std::size_t) {
        memberWays_.push_back(member.ref());
        return true;
    }

    // Sorts the noted members; call after the relations are read.
    void prepareMembers() {
        std::sort(memberWays_.begin(), memberWays_.end());
        memberWays_.erase(std::unique(memberWays_.begin(), memberWays_.end()), memberWays_.end());
        memberSeen_.assign(memberWays_.size(), false);
    }

    // False for a second way under a member's id. libosmium counts each copy
    // as a found member: a relation then looks complete with a member still
    // missing, and removing the members afterwards corrupts its store.
    bool firstCopyOfMember(osmium::object_id_type id) {
        const auto at = std::lower_bound(memberWays_.begin(), memberWays_.end(), id);
        if (at == memberWays_.end() || *at != id) return true;
        const auto i = static_cast<std::size_t>(at - memberWays_.begin());
        if (memberSeen_[i]) return false;
        memberSeen_[i] = true;
        return true;
    }

    void complete_relation(const osmium::Relation& relation) {
        std::vector<const osmium::Way*> ways;
        ways.reserve(relation.members().size());
        for (const auto& member : relation.members())
            if (member.ref() != 0) ways.push_back(this->get_member_way(member.ref()));
        try {
            osmium::area::Assembler assembler{config_};
            assembler(relation, ways, this->buffer());
        } catch (const osmium::invalid_location&) {
            // a member way with a node outside the input: no area
        }
    }

    // A closed way of at least a triangle is an area unless tagged area=no;
    // a simple ring is built without the assembler.
    void after_way(const osmium::Way& way) {
        if (way.nodes().size() <= 3) return;
        if (!way.nodes().front().location() || !way.nodes().back().location()) return;
        if (!way.ends_have_same_location() || way.tags().has_tag("area", "no")) return;
        try {
            if (!addSimpleArea(way, this->buffer())) {
                osmium::area::Assembler assembler{config_};
                assembler(way, this->buffer());
            }
            this->possibly_flush();
        } catch (const osmium::invalid_location&) {
            // a node outside the input: no area
        }
    }

private:
    osmium::area::Assembler::config_type config_;
    std::vector<osmium::object_id_type> memberWays_; // sorted after prepareMembers()
    std::vector<bool> memberSeen_;
    uint64_t tooLarge_ = 0;
};

} // namespace tevo::tvmc
