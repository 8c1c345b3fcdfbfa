// A simple ring becomes the same area, byte for byte, that libosmium's
// assembler makes of it; rings that touch or cross themselves are left to
// the assembler.
#include "tools/tvmc/simple_area.hpp"

#include <osmium/area/assembler.hpp>
#include <osmium/builder/attr.hpp>
#include <osmium/osm/area.hpp>

#include <gtest/gtest.h>

#include <cstring>
#include <utility>
#include <vector>

namespace tevo::tvmc {
namespace {

using Ring = std::vector<std::pair<int32_t, int32_t>>; // closed by repeating node 1

const osmium::Way& wayOf(osmium::memory::Buffer& buffer, const Ring& ring) {
    using namespace osmium::builder::attr;
    std::vector<osmium::NodeRef> refs;
    for (std::size_t i = 0; i < ring.size(); ++i)
        refs.emplace_back(static_cast<int64_t>(i + 1), osmium::Location{ring[i].first, ring[i].second});
    refs.push_back(refs.front());
    osmium::builder::add_way(buffer, _id(7), _tag("building", "yes"), _nodes(refs));
    return buffer.get<osmium::Way>(0);
}

TEST(SimpleArea, MatchesTheAssemblerOrLeavesTheRingToIt) {
    const struct {
        const char* what;
        Ring ring;
        bool simple;
    } cases[] = {
        {"square, clockwise", {{0, 0}, {0, 10}, {10, 10}, {10, 0}}, true},
        {"square, counter-clockwise", {{10, 10}, {0, 10}, {0, 0}, {10, 0}}, true},
        {"straight node on a side", {{5, 0}, {10, 0}, {10, 10}, {0, 10}, {0, 0}}, true},
        {"L-shaped, not convex", {{0, 0}, {20, 0}, {20, 10}, {10, 10}, {10, 20}, {0, 20}}, true},
        {"bow tie", {{0, 0}, {10, 10}, {10, 0}, {0, 10}}, false},
        {"star, turning one way twice around", {{50, 0}, {79, 90}, {2, 35}, {98, 35}, {21, 90}}, false},
        {"touches itself", {{0, 0}, {10, 0}, {5, 5}, {10, 10}, {0, 10}, {5, 5}}, false},
        {"turns back on a side", {{0, 0}, {10, 0}, {5, 0}, {5, 10}}, false},
        {"a node twice in a row", {{0, 0}, {10, 0}, {10, 0}, {10, 10}}, false},
    };
    for (const auto& c : cases) {
        osmium::memory::Buffer input{1024, osmium::memory::Buffer::auto_grow::yes};
        osmium::memory::Buffer fast{1024, osmium::memory::Buffer::auto_grow::yes};
        osmium::memory::Buffer full{1024, osmium::memory::Buffer::auto_grow::yes};
        const osmium::Way& way = wayOf(input, c.ring);
        ASSERT_EQ(addSimpleArea(way, fast), c.simple) << c.what;
        if (!c.simple) {
            EXPECT_EQ(fast.committed(), 0u) << c.what;
            continue;
        }
        osmium::area::Assembler{osmium::area::Assembler::config_type{}}(way, full);
        const auto& a = fast.get<osmium::Area>(0);
        const auto& b = full.get<osmium::Area>(0);
        ASSERT_EQ(a.byte_size(), b.byte_size()) << c.what;
        EXPECT_EQ(std::memcmp(a.data(), b.data(), a.byte_size()), 0) << c.what;
    }
}

} // namespace
} // namespace tevo::tvmc
