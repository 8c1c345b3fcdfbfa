// tvmc_read_reference: the reference that tvmc's time is measured against,
// a plain libosmium read of a whole file that only counts its objects.
//
//   tvmc_read_reference INPUT
#include <osmium/handler.hpp>
#include <osmium/io/any_input.hpp>
#include <osmium/visitor.hpp>

#include <cstdio>
#include <exception>

namespace {

struct Counter : osmium::handler::Handler {
    unsigned long long nodes = 0, ways = 0, relations = 0;
    void node(const osmium::Node&) { ++nodes; }
    void way(const osmium::Way&) { ++ways; }
    void relation(const osmium::Relation&) { ++relations; }
};

} // namespace

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fputs("usage: tvmc_read_reference INPUT\n", stderr);
        return 2;
    }
    try {
        osmium::io::Reader reader{argv[1]};
        Counter counter;
        osmium::apply(reader, counter);
        reader.close();
        std::printf("%llu nodes, %llu ways, %llu relations\n", counter.nodes, counter.ways,
                    counter.relations);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "tvmc_read_reference: %s\n", e.what());
        return 1;
    }
    return 0;
}
