#include "tools/tvmc/simple_area.hpp"

#include <osmium/builder/osm_object_builder.hpp>

#include <algorithm>
#include <array>
#include <cstdint>

namespace tevo::tvmc {

namespace {

// Exact arithmetic: location differences take 33 bits, their products 66.
using Wide = __int128;

struct Point {
    int64_t x, y;
};

// The ring's points, the first two repeated at the end so that every
// segment and turn is read without wrapping around.
using Points = std::array<Point, kMaxSimpleRingNodes + 2>;

Wide cross(Point o, Point a, Point b) {
    return Wide{a.x - o.x} * (b.y - o.y) - Wide{a.y - o.y} * (b.x - o.x);
}

int sign(Wide v) {
    return (v > 0) - (v < 0);
}

// p lies on segment ab, given that the three are collinear.
bool within(Point a, Point b, Point p) {
    return std::min(a.x, b.x) <= p.x && p.x <= std::max(a.x, b.x) && std::min(a.y, b.y) <= p.y &&
           p.y <= std::max(a.y, b.y);
}

// Segments ab and cd have a point in common (touching counts).
bool meet(Point a, Point b, Point c, Point d) {
    // Most pairs lie apart: their boxes tell it without a product.
    if (std::max(a.x, b.x) < std::min(c.x, d.x) || std::max(c.x, d.x) < std::min(a.x, b.x) ||
        std::max(a.y, b.y) < std::min(c.y, d.y) || std::max(c.y, d.y) < std::min(a.y, b.y))
        return false;
    const int d1 = sign(cross(c, d, a)), d2 = sign(cross(c, d, b));
    const int d3 = sign(cross(a, b, c)), d4 = sign(cross(a, b, d));
    if (d1 * d2 < 0 && d3 * d4 < 0) return true;
    return (d1 == 0 && within(c, d, a)) || (d2 == 0 && within(c, d, b)) ||
           (d3 == 0 && within(a, b, c)) || (d4 == 0 && within(a, b, d));
}

// The ring p[0..n) turns one way only, around once: then it is convex, and
// simple. Most rings (buildings) are; this needs no pair of segments. Its
// edges' x direction changes sign exactly twice when it goes around once.
bool isConvex(const Points& p, std::size_t n) {
    int turn = 0, flips = 0;
    int64_t lastDx = 0;
    for (std::size_t i = 0; i <= n; ++i) {
        const std::size_t k = i < n ? i : 0; // the first edge again, for its x direction
        const Point a = p[k], b = p[k + 1], c = p[k + 2];
        if (i < n) {
            if (a.x == b.x && a.y == b.y) return false;
            const int s = sign(cross(a, b, c));
            const Wide dot = Wide{b.x - a.x} * (c.x - b.x) + Wide{b.y - a.y} * (c.y - b.y);
            if (s == 0 && dot < 0) return false; // turns back onto itself
            if (s != 0 && turn != 0 && s != turn) return false;
            if (s != 0) turn = s;
        }
        const int64_t dx = b.x - a.x;
        if (dx == 0) continue;
        if (lastDx != 0 && (dx > 0) != (lastDx > 0)) ++flips;
        lastDx = dx;
    }
    return turn != 0 && flips == 2;
}

// The ring p[0..n) (closed from p[n-1] back to p[0]) has no segment of
// length zero, no turn back onto itself and no two other segments that meet.
bool isSimple(const Points& p, std::size_t n) {
    if (isConvex(p, n)) return true;
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = p[i], b = p[i + 1], c = p[i + 2];
        if (a.x == b.x && a.y == b.y) return false;
        const Wide dot = Wide{b.x - a.x} * (c.x - b.x) + Wide{b.y - a.y} * (c.y - b.y);
        if (cross(a, b, c) == 0 && dot < 0) return false;
    }
    for (std::size_t i = 0; i < n; ++i)
        for (std::size_t j = i + 2; j < n; ++j) {
            if (i == 0 && j == n - 1) continue; // neighbours through the closing node
            if (meet(p[i], p[i + 1], p[j], p[j + 1])) return false;
        }
    return true;
}

} // namespace

bool addSimpleArea(const osmium::Way& way, osmium::memory::Buffer& out) {
    const osmium::WayNodeList& nodes = way.nodes();
    if (nodes.size() < 4 || nodes.size() > kMaxSimpleRingNodes + 1) return false;
    if (!way.ends_have_same_id()) return false;
    const std::size_t n = nodes.size() - 1; // the ring's nodes, the closing one once
    Points p;
    std::size_t first = 0; // of the smallest location
    Wide twiceArea = 0;
    for (std::size_t i = 0; i < n; ++i) {
        const osmium::Location loc = nodes[i].location();
        if (!loc.valid()) return false;
        p[i] = {loc.x(), loc.y()};
        if (loc < nodes[first].location()) first = i;
    }
    p[n] = p[0];
    p[n + 1] = p[1];
    if (!isSimple(p, n)) return false;
    for (std::size_t i = 0; i < n; ++i) {
        const Point a = p[i], b = p[i + 1];
        twiceArea += Wide{a.x} * b.y - Wide{a.y} * b.x;
    }
    const bool forward = twiceArea > 0;
    {
        osmium::builder::AreaBuilder builder{out};
        builder.initialize_from_object(way);
        builder.add_item(way.tags());
        osmium::builder::OuterRingBuilder ring{builder};
        for (std::size_t k = 0; k <= n; ++k) {
            const std::size_t step = forward ? k : n - k;
            ring.add_node_ref(nodes[(first + step) % n]);
        }
    }
    out.commit();
    return true;
}

} // namespace tevo::tvmc
