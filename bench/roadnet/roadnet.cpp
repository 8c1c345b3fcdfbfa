// roadnet: writes a connected road network as OpenStreetMap data.
//   roadnet [--towns N] [--seed S] -o OUT.osm.pbf|OUT.osm
// A region of N by N towns 8 km apart, joined by country roads to their
// neighbours (secondary roads, trunk roads on every third row and column).
// Each town is a street grid of 100 m blocks, one to four neighbourhoods
// wide: every 10th street is an arterial (a secondary road, every 30th a
// primary one), two-way and unbroken; inside each neighbourhood a random
// tree of residential streets reaches every junction and opens onto the
// arterials at every third street, and a third of the other block sides are
// built too, half of them one-way. Every block side bends twice, so that
// junctions are about a fifth of the nodes, as in the OpenStreetMap
// extracts; N = 19 gives about a million nodes. Every crossing of two
// arterials carries a turn restriction: no left turn from the west, or only
// straight on from the south, by turns.
#include <osmium/builder/attr.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/memory/buffer.hpp>

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <numeric>
#include <random>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

namespace {

using namespace osmium::builder::attr;
using Tags = std::vector<std::pair<std::string, std::string>>;

constexpr double kLat0 = 49.5, kLon0 = 10.0;
constexpr double kStepLat = 0.0009, kStepLon = 0.0014; // about 100 m
constexpr double kJitter = 0.00008;                    // about 8 m
constexpr double kTownEvery = 80;                      // steps between towns
constexpr int kBends = 2;                              // shape nodes per block side
constexpr int kCell = 10;                              // steps between arterials
constexpr int kPrimaryEvery = 3, kTrunkEvery = 3;
constexpr double kExtraSides = 1.0 / 3, kOneWayShare = 0.5;
constexpr std::size_t kFlushBytes = 16u << 20;

// What a block side is: no road, a two-way road, or one-way along or
// against the line's direction (east, north).
enum Side : uint8_t { kNone, kTwoWay, kAlong, kAgainst };

struct Node {
    double lon, lat;
};

struct Way {
    std::vector<int64_t> refs;
    Tags tags;
};

struct Restriction {
    int64_t from, via, to;
    bool noLeft;
};

// Nodes, ways and restrictions as the region is laid out, numbered in order.
struct Region {
    std::vector<Node> nodes;
    std::vector<Way> ways;
    std::vector<Restriction> restrictions;
    std::mt19937 random;

    double uniform() { return std::uniform_real_distribution<double>(0, 1)(random); }
    double jitter() { return (2 * uniform() - 1) * kJitter; }
    int64_t addNode(double lon, double lat) {
        nodes.push_back({lon + jitter(), lat + jitter()});
        return static_cast<int64_t>(nodes.size());
    }
    // A road from node a to node b with a shape node about every 100 m.
    void addRoad(int64_t a, int64_t b, Tags tags) {
        const Node p = nodes[a - 1], q = nodes[b - 1];
        const int steps = std::max(1, static_cast<int>(std::hypot((q.lon - p.lon) / kStepLon,
                                                                  (q.lat - p.lat) / kStepLat)));
        Way w{{a}, std::move(tags)};
        for (int i = 1; i < steps; ++i)
            w.refs.push_back(
                addNode(p.lon + (q.lon - p.lon) * i / steps, p.lat + (q.lat - p.lat) * i / steps));
        w.refs.push_back(b);
        ways.push_back(std::move(w));
    }
};

class Town {
public:
    Town(Region& region, int cells, double lon0, double lat0);

    // The junction in the middle of the town's west, east, south, north edge.
    int64_t west() const { return junction(true, middle(), 0); }
    int64_t east() const { return junction(true, middle(), n_ - 1); }
    int64_t south() const { return junction(false, middle(), 0); }
    int64_t north() const { return junction(false, middle(), n_ - 1); }

private:
    // Lines are rows (row = true: line = r, k = c) or columns (line = c, k = r).
    int64_t junction(bool row, int line, int k) const {
        return first_ + (row ? int64_t{line} * n_ + k : int64_t{k} * n_ + line);
    }
    int64_t sideIndex(bool row, int line, int k) const {
        return (row ? 0 : int64_t{n_} * (n_ - 1)) + int64_t{line} * (n_ - 1) + k;
    }
    int middle() const { return (n_ - 1) / 2 / kCell * kCell; }
    static bool arterial(int i) { return i % kCell == 0; }
    void neighbourhood(int r0, int c0);
    void roads();
    void restrictions();
    Tags streetTags(bool row, int line, Side side) const;

    Region& region_;
    int n_;
    int64_t first_;
    std::vector<Side> sides_;
    // Along each line, the way that starts and the way that ends at each junction.
    std::vector<int64_t> wayFrom_[2], wayTo_[2];
};

Town::Town(Region& region, int cells, double lon0, double lat0)
    : region_(region), n_(cells * kCell + 1), first_(region.nodes.size() + 1),
      sides_(2 * int64_t{n_} * (n_ - 1), kNone) {
    for (int r = 0; r < n_; ++r)
        for (int c = 0; c < n_; ++c) region.addNode(lon0 + c * kStepLon, lat0 + r * kStepLat);
    for (int line = 0; line < n_; line += kCell)
        for (int k = 0; k + 1 < n_; ++k)
            sides_[sideIndex(true, line, k)] = sides_[sideIndex(false, line, k)] = kTwoWay;
    for (int r0 = 0; r0 + kCell < n_; r0 += kCell)
        for (int c0 = 0; c0 + kCell < n_; c0 += kCell) neighbourhood(r0, c0);
    roads();
    restrictions();
}

// The streets of the neighbourhood whose south-west corner is (r0, c0): a
// random spanning tree over its junctions and its openings onto the
// arterials, then some of the other block sides.
void Town::neighbourhood(int r0, int c0) {
    struct Candidate {
        bool row;
        int line, k;
        int a, b; // junctions inside, or -1 for the arterials around
    };
    auto inside = [&](int r, int c) {
        return r > r0 && r < r0 + kCell && c > c0 && c < c0 + kCell
                   ? (r - r0 - 1) * (kCell - 1) + (c - c0 - 1)
                   : -1;
    };
    std::vector<Candidate> candidates;
    for (int r = r0; r <= r0 + kCell; ++r)
        for (int c = c0; c <= c0 + kCell; ++c) {
            const int here = inside(r, c);
            const int east = c < c0 + kCell ? inside(r, c + 1) : -1;
            const int north = r < r0 + kCell ? inside(r + 1, c) : -1;
            if ((here >= 0 && east >= 0) || ((here >= 0 || east >= 0) && (r - r0) % 3 == 2))
                candidates.push_back({true, r, c, here, east});
            if ((here >= 0 && north >= 0) || ((here >= 0 || north >= 0) && (c - c0) % 3 == 2))
                candidates.push_back({false, c, r, here, north});
        }
    std::shuffle(candidates.begin(), candidates.end(), region_.random);
    // Union-find over the inner junctions; the last set is the arterials.
    const int outside = (kCell - 1) * (kCell - 1);
    std::vector<int> parent(outside + 1);
    std::iota(parent.begin(), parent.end(), 0);
    auto find = [&](int x) {
        while (parent[x] != x) x = parent[x] = parent[parent[x]];
        return x;
    };
    for (const Candidate& c : candidates) {
        const int a = find(c.a < 0 ? outside : c.a), b = find(c.b < 0 ? outside : c.b);
        Side& side = sides_[sideIndex(c.row, c.line, c.k)];
        if (a != b) {
            parent[a] = b;
            side = kTwoWay;
        } else if (region_.uniform() < kExtraSides) {
            const bool oneWay = region_.uniform() < kOneWayShare;
            side = !oneWay ? kTwoWay : region_.uniform() < 0.5 ? kAlong : kAgainst;
        }
    }
}

Tags Town::streetTags(bool row, int line, Side side) const {
    Tags tags;
    const char* highway = !arterial(line)                       ? "residential"
                          : (line / kCell) % kPrimaryEvery == 0 ? "primary"
                                                                : "secondary";
    tags.push_back({"highway", highway});
    tags.push_back({"name", (row ? "Street " : "Avenue ") + std::to_string(line)});
    if (side == kAlong) tags.push_back({"oneway", "yes"});
    if (side == kAgainst) tags.push_back({"oneway", "-1"});
    return tags;
}

// Each line in ways: runs of block sides of one kind, split where an
// arterial crosses, each side bent by its shape nodes.
void Town::roads() {
    for (int row = 1; row >= 0; --row) {
        wayFrom_[row].assign(int64_t{n_} * n_, 0);
        wayTo_[row].assign(int64_t{n_} * n_, 0);
        for (int line = 0; line < n_; ++line) {
            Way way;
            Side kind = kNone;
            for (int k = 0; k < n_; ++k) {
                const Side next = k + 1 < n_ ? sides_[sideIndex(row, line, k)] : kNone;
                const int64_t j = junction(row, line, k);
                if (!way.refs.empty() && (next != kind || arterial(k))) {
                    way.refs.push_back(j);
                    way.tags = streetTags(row, line, kind);
                    region_.ways.push_back(std::move(way));
                    wayTo_[row][j - first_] = static_cast<int64_t>(region_.ways.size());
                    way = Way{};
                }
                if (next == kNone) continue;
                if (way.refs.empty())
                    wayFrom_[row][j - first_] = static_cast<int64_t>(region_.ways.size() + 1);
                kind = next;
                way.refs.push_back(j);
                const Node a = region_.nodes[j - 1];
                const Node b = region_.nodes[junction(row, line, k + 1) - 1];
                for (int i = 1; i <= kBends; ++i) {
                    const double t = double(i) / (kBends + 1);
                    way.refs.push_back(
                        region_.addNode(a.lon + t * (b.lon - a.lon), a.lat + t * (b.lat - a.lat)));
                }
            }
        }
    }
}

void Town::restrictions() {
    for (int r = kCell; r + 1 < n_; r += kCell)
        for (int c = kCell; c + 1 < n_; c += kCell) {
            const int64_t via = junction(true, r, c);
            const bool noLeft = (r / kCell + c / kCell) % 2 == 0;
            const int64_t from = noLeft ? wayTo_[1][via - first_] : wayTo_[0][via - first_];
            region_.restrictions.push_back({from, via, wayFrom_[0][via - first_], noLeft});
        }
}

// The region: towns of random size, each joined to the next east and north.
Region layOut(int towns, uint32_t seed) {
    Region region{{}, {}, {}, std::mt19937(seed)};
    std::vector<Town> placed;
    for (int y = 0; y < towns; ++y)
        for (int x = 0; x < towns; ++x) {
            const int cells = 1 + static_cast<int>(region.uniform() * 4);
            placed.emplace_back(region, cells, kLon0 + x * kTownEvery * kStepLon,
                                kLat0 + y * kTownEvery * kStepLat);
        }
    auto link = [&](int64_t a, int64_t b, bool trunk, const std::string& name) {
        region.addRoad(a, b, {{"highway", trunk ? "trunk" : "secondary"}, {"name", name}});
    };
    for (int y = 0; y < towns; ++y)
        for (int x = 0; x < towns; ++x) {
            const Town& t = placed[y * towns + x];
            if (x + 1 < towns)
                link(t.east(), placed[y * towns + x + 1].west(), y % kTrunkEvery == 0,
                     "Road " + std::to_string(y) + " East");
            if (y + 1 < towns)
                link(t.north(), placed[(y + 1) * towns + x].south(), x % kTrunkEvery == 0,
                     "Road " + std::to_string(x) + " North");
        }
    return region;
}

void write(const Region& region, osmium::io::Writer& out) {
    osmium::memory::Buffer buffer{kFlushBytes, osmium::memory::Buffer::auto_grow::yes};
    auto flush = [&](bool always) {
        if (!always && buffer.committed() < kFlushBytes) return;
        out(std::move(buffer));
        buffer = osmium::memory::Buffer{kFlushBytes, osmium::memory::Buffer::auto_grow::yes};
    };
    for (std::size_t i = 0; i < region.nodes.size(); ++i) {
        const Node& n = region.nodes[i];
        osmium::builder::add_node(buffer, _id(i + 1), _version(1), _location(n.lon, n.lat));
        flush(false);
    }
    flush(true);
    for (std::size_t i = 0; i < region.ways.size(); ++i) {
        const Way& w = region.ways[i];
        osmium::builder::add_way(buffer, _id(i + 1), _version(1), _nodes(w.refs), _tags(w.tags));
        flush(false);
    }
    flush(true);
    for (std::size_t i = 0; i < region.restrictions.size(); ++i) {
        const Restriction& r = region.restrictions[i];
        osmium::builder::add_relation(
            buffer, _id(i + 1), _version(1), _member(osmium::item_type::way, r.from, "from"),
            _member(osmium::item_type::node, r.via, "via"),
            _member(osmium::item_type::way, r.to, "to"), _tag("type", "restriction"),
            _tag("restriction", r.noLeft ? "no_left_turn" : "only_straight_on"));
        flush(false);
    }
    flush(true);
}

} // namespace

int main(int argc, char** argv) {
    int towns = 19;
    uint32_t seed = 1;
    std::string output;
    for (int i = 1; i + 1 < argc; i += 2) {
        const std::string_view a = argv[i];
        if (a == "--towns")
            towns = std::atoi(argv[i + 1]);
        else if (a == "--seed")
            seed = static_cast<uint32_t>(std::atoi(argv[i + 1]));
        else if (a == "-o")
            output = argv[i + 1];
    }
    if (output.empty() || towns < 1 || towns > 200) {
        std::fprintf(stderr, "usage: roadnet [--towns N] [--seed S] -o OUT.osm.pbf\n");
        return 2;
    }
    try {
        const Region region = layOut(towns, seed);
        osmium::io::Writer writer{output, osmium::io::overwrite::allow};
        write(region, writer);
        writer.close();
        std::printf("roadnet: %zu nodes, %zu ways, %zu restrictions\n", region.nodes.size(),
                    region.ways.size(), region.restrictions.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "roadnet: %s\n", e.what());
        return 1;
    }
    return 0;
}
