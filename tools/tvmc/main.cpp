// tvmc: OpenStreetMap data to a Tevo map file.
#include "tools/tvmc/compiler.hpp"

#include <cstdio>

int main(int argc, char** argv) {
    using namespace tevo::tvmc;
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
