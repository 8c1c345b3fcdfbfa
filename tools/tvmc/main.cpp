// tvmc: OpenStreetMap data to a Tevo map file.
#include "tools/tvmc/compiler.hpp"

#include <cstdio>
#include <malloc.h>

int main(int argc, char** argv) {
    using namespace tevo::tvmc;
    // The OSM decoder threads allocate the buffers that the main thread
    // frees; with an arena per thread that memory is seldom reused, and the
    // peak of a large input grows by a quarter. One arena serves them all.
    mallopt(M_ARENA_MAX, 1);
    Options options;
    std::string error;
    if (!parseOptions(argc, argv, options, &error)) {
        std::fprintf(stderr, "tvmc: %s\n", error.c_str());
        return 2;
    }
    if (options.help) {
        std::fputs(usageText(), stdout);
        return 0;
    }
    CompileSummary summary;
    if (!compileMap(options, summary, &error)) {
        std::fprintf(stderr, "tvmc: %s\n", error.c_str());
        return 1;
    }
    if (!options.quiet) printSummary(stdout, summary);
    return 0;
}
