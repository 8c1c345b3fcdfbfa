// tvmc_scale_input: a large OpenStreetMap input made of shifted copies of
// small extracts, for measuring tvmc at country scale.
//
//   tvmc_scale_input [--id-gap G] OBJECTS OUTPUT.osm.pbf EXTRACT...
//
// The extracts are read into memory; copies of them, one after another, are
// laid out on a grid of tiles (0.3 degrees square, 40 to a row, starting at
// 5 E, 47 N) until the copies hold at least OBJECTS objects. Rows go north
// up to 85 N; the next band of rows starts 12 degrees further east, back at
// 47 N (about 50 million objects of the repository's extracts fill a band).
// Every copy gets ids of its own, G apart (1 by default: dense ids; real
// extracts have gaps of about 25 between their node ids), so the output is
// sorted by type and id like a real extract. References to nodes and ways
// that an extract lacks stay dangling in every copy, but a relation that
// lacks one of its ways is left out: a country's extract is cut once at its
// border, whereas the copies of a small extract would repeat its cut
// relations thousands of times, each holding its ways in the area assembly
// to the end.
#include <osmium/builder/osm_object_builder.hpp>
#include <osmium/handler.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/io/any_output.hpp>
#include <osmium/memory/buffer.hpp>
#include <osmium/visitor.hpp>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <string>
#include <vector>

namespace {

constexpr double kTileDegrees = 0.3;
constexpr int kTilesPerRow = 40;
constexpr double kOriginLon = 5.0, kOriginLat = 47.0;
constexpr double kTopLat = 85.0, kEastLon = 180.0;
constexpr int kRowsPerBand = static_cast<int>((kTopLat - kOriginLat) / kTileDegrees);
constexpr int kTilesPerBand = kTilesPerRow * kRowsPerBand;
constexpr int kBands = static_cast<int>((kEastLon - kOriginLon) / (kTilesPerRow * kTileDegrees));
// Ids that an extract references but lacks map to ids beyond every copy.
constexpr osmium::object_id_type kDanglingBase = osmium::object_id_type{1} << 50;

// One extract in memory with the sorted ids of each kind of its objects and
// the objects in that order (extracts are not always sorted).
struct Extract {
    osmium::memory::Buffer buffer{1024 * 1024, osmium::memory::Buffer::auto_grow::yes};
    std::vector<osmium::object_id_type> ids[3]; // nodes, ways, relations
    std::vector<const osmium::OSMObject*> sorted[3];
    osmium::Location southWest{180.0, 90.0};

    std::size_t objects() const { return sorted[0].size() + sorted[1].size() + sorted[2].size(); }
};

int kindOf(osmium::item_type type) {
    return type == osmium::item_type::node ? 0 : type == osmium::item_type::way ? 1 : 2;
}

Extract load(const std::string& path) {
    Extract e;
    osmium::io::Reader reader{path};
    while (osmium::memory::Buffer b = reader.read()) {
        for (const osmium::OSMObject& o : b.select<osmium::OSMObject>()) {
            e.buffer.add_item(o);
            e.buffer.commit();
            e.ids[kindOf(o.type())].push_back(o.id());
            if (o.type() == osmium::item_type::node) {
                const osmium::Location l = static_cast<const osmium::Node&>(o).location();
                if (l.valid())
                    e.southWest = {std::min(e.southWest.lon(), l.lon()),
                                   std::min(e.southWest.lat(), l.lat())};
            }
        }
    }
    reader.close();
    for (auto& list : e.ids) std::sort(list.begin(), list.end());
    return e;
}

bool hasEveryWay(const Extract& e, const osmium::Relation& r) {
    return std::all_of(r.members().begin(), r.members().end(), [&e](const auto& m) {
        return m.type() != osmium::item_type::way ||
               std::binary_search(e.ids[1].begin(), e.ids[1].end(), m.ref());
    });
}

void sortObjects(Extract& e) {
    for (const osmium::OSMObject& o : e.buffer.select<osmium::OSMObject>())
        if (o.type() != osmium::item_type::relation ||
            hasEveryWay(e, static_cast<const osmium::Relation&>(o)))
            e.sorted[kindOf(o.type())].push_back(&o);
    for (auto& list : e.sorted)
        std::stable_sort(list.begin(), list.end(),
                         [](const osmium::OSMObject* a, const osmium::OSMObject* b) {
                             return a->id() < b->id();
                         });
}

// Numbers the copies' objects: copy c of kind k starts at base[k] and its
// objects follow in the order of their original ids, `gap` apart.
struct Numbering {
    osmium::object_id_type gap = 1;

    osmium::object_id_type map(const Extract& e, const osmium::object_id_type base[3], int kind,
                               osmium::object_id_type id) const {
        const auto& list = e.ids[kind];
        const auto at = std::lower_bound(list.begin(), list.end(), id);
        if (at == list.end() || *at != id) return kDanglingBase + (id < 0 ? -id : id);
        return base[kind] + (at - list.begin()) * gap;
    }
};

class CopyWriter {
public:
    CopyWriter(osmium::io::Writer& writer, osmium::object_id_type gap) : writer_(writer) {
        numbering_.gap = gap;
    }

    // Writes objects of `kind` of one copy placed on tile `tile`.
    void copy(const Extract& e, int kind, int tile, osmium::object_id_type base[3]) {
        const int band = tile / kTilesPerBand, inBand = tile % kTilesPerBand;
        const int column = band * kTilesPerRow + inBand % kTilesPerRow;
        const double dx = kOriginLon + column * kTileDegrees - e.southWest.lon();
        const double dy = kOriginLat + (inBand / kTilesPerRow) * kTileDegrees - e.southWest.lat();
        for (const osmium::OSMObject* object : e.sorted[kind]) {
            const osmium::OSMObject& o = *object;
            const osmium::object_id_type id = numbering_.map(e, base, kind, o.id());
            if (kind == 0) node(static_cast<const osmium::Node&>(o), id, dx, dy);
            if (kind == 1) way(e, base, static_cast<const osmium::Way&>(o), id);
            if (kind == 2) relation(e, base, static_cast<const osmium::Relation&>(o), id);
            if (out_.committed() > 8 * 1024 * 1024) flush();
        }
    }

    void flush() {
        writer_(std::move(out_));
        out_ = osmium::memory::Buffer{16 * 1024 * 1024, osmium::memory::Buffer::auto_grow::yes};
    }

    Numbering& numbering() { return numbering_; }

private:
    void node(const osmium::Node& n, osmium::object_id_type id, double dx, double dy) {
        {
            osmium::builder::NodeBuilder b{out_};
            b.set_id(id).set_version(1).set_visible(true);
            if (n.location().valid())
                b.set_location(osmium::Location{n.location().lon() + dx, n.location().lat() + dy});
            b.add_item(n.tags());
        }
        out_.commit();
    }

    void way(const Extract& e, osmium::object_id_type base[3], const osmium::Way& w,
             osmium::object_id_type id) {
        {
            osmium::builder::WayBuilder b{out_};
            b.set_id(id).set_version(1).set_visible(true);
            {
                osmium::builder::WayNodeListBuilder nodes{b};
                for (const osmium::NodeRef& r : w.nodes())
                    nodes.add_node_ref(numbering_.map(e, base, 0, r.ref()));
            }
            b.add_item(w.tags());
        }
        out_.commit();
    }

    void relation(const Extract& e, osmium::object_id_type base[3], const osmium::Relation& r,
                  osmium::object_id_type id) {
        {
            osmium::builder::RelationBuilder b{out_};
            b.set_id(id).set_version(1).set_visible(true);
            {
                osmium::builder::RelationMemberListBuilder members{b};
                for (const osmium::RelationMember& m : r.members())
                    members.add_member(m.type(), numbering_.map(e, base, kindOf(m.type()), m.ref()),
                                       m.role());
            }
            b.add_item(r.tags());
        }
        out_.commit();
    }

    osmium::io::Writer& writer_;
    Numbering numbering_;
    osmium::memory::Buffer out_{16 * 1024 * 1024, osmium::memory::Buffer::auto_grow::yes};
};

int usage() {
    std::fputs("usage: tvmc_scale_input [--id-gap G] OBJECTS OUTPUT.osm.pbf EXTRACT...\n", stderr);
    return 2;
}

} // namespace

int main(int argc, char** argv) {
    int arg = 1;
    long long gap = 1;
    if (arg + 1 < argc && std::string(argv[arg]) == "--id-gap") {
        gap = std::atoll(argv[arg + 1]);
        arg += 2;
    }
    if (argc - arg < 3 || gap < 1) return usage();
    const long long wanted = std::atoll(argv[arg]);
    const std::string output = argv[arg + 1];
    try {
        std::vector<Extract> extracts;
        for (int i = arg + 2; i < argc; ++i) extracts.push_back(load(argv[i]));
        for (Extract& e : extracts) sortObjects(e);
        // Copy i is extract i mod E on tile i.
        std::vector<int> copies;
        long long objects = 0;
        while (objects < wanted) {
            const Extract& e = extracts[copies.size() % extracts.size()];
            copies.push_back(static_cast<int>(copies.size()));
            objects += static_cast<long long>(e.objects());
        }
        if (copies.size() > std::size_t{kBands} * kTilesPerBand) {
            std::fprintf(stderr, "tvmc_scale_input: %zu copies do not fit the grid's %d tiles\n",
                         copies.size(), kBands * kTilesPerBand);
            return 1;
        }
        osmium::io::Header header;
        header.set("generator", "tvmc_scale_input");
        header.set("sorting", "Type_then_ID");
        osmium::io::Writer writer{output, header, osmium::io::overwrite::allow};
        CopyWriter out{writer, gap};
        for (int kind = 0; kind < 3; ++kind) {
            osmium::object_id_type base[3] = {1, 1, 1};
            for (int c : copies) {
                const Extract& e = extracts[static_cast<std::size_t>(c) % extracts.size()];
                out.copy(e, kind, c, base);
                for (int k = 0; k < 3; ++k)
                    base[k] += static_cast<osmium::object_id_type>(e.ids[k].size()) * gap;
            }
        }
        out.flush();
        writer.close();
        std::printf("%lld objects in %zu copies\n", objects, copies.size());
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tvmc_scale_input: %s\n", e.what());
        return 1;
    }
    return 0;
}
