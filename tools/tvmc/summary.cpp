#include "tools/tvmc/summary.hpp"

#include <cinttypes>

namespace tevo::tvmc {

namespace {

constexpr int kBarWidth = 40;

} // namespace

void ProgressBar::update(double fraction) {
    const int percent = static_cast<int>(fraction * 100);
    if (percent == shown_) return;
    shown_ = percent;
    const int filled = percent * kBarWidth / 100;
    std::fprintf(out_, "\rreading [%.*s%*s] %3d%%", filled,
                 "########################################", kBarWidth - filled, "", percent);
    std::fflush(out_);
}

void ProgressBar::finish() {
    if (shown_ < 0) return;
    std::fputc('\n', out_);
    shown_ = -1;
}

void printSummary(std::FILE* out, const CompileSummary& s) {
    std::fprintf(out,
                 "input: %" PRIu64 " bytes, %" PRIu64 " nodes, %" PRIu64 " ways, %" PRIu64
                 " relations, %" PRIu64 " areas assembled, %" PRIu64 " map objects\n",
                 s.read.bytes, s.read.nodes, s.read.ways, s.read.relations, s.read.areas,
                 s.features);
    if (s.read.waysMissingNodes > 0)
        std::fprintf(out, "skipped: %" PRIu64 " ways with nodes missing from the input\n",
                     s.read.waysMissingNodes);
    if (s.read.areasBroken > 0)
        std::fprintf(out,
                     "skipped: %" PRIu64 " areas whose rings cross themselves or do not close\n",
                     s.read.areasBroken);
    if (s.read.relationsTooLarge > 0)
        std::fprintf(out, "skipped: %" PRIu64 " multipolygons of more than %zu members\n",
                     s.read.relationsTooLarge, kMaxAreaMembers);
    if (s.read.invalidLocations > 0)
        std::fprintf(out, "skipped: %" PRIu64 " nodes without a valid position\n",
                     s.read.invalidLocations);
    std::fprintf(out, "%7s %7s %9s %9s %9s %9s\n", "cell\"", "cells", "POIs", "polylines",
                 "polygons", "points");
    uint64_t blocks = 0;
    for (const LevelStats& l : s.levels) {
        std::fprintf(out, "%7u %7" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 "\n",
                     l.cellSeconds, l.cells, l.records[0], l.records[1], l.records[2], l.points);
        blocks += l.cells;
    }
    for (const LevelStats& l : s.levels)
        if (l.tooLarge > 0)
            std::fprintf(out,
                         "left out of the %u\" level: %" PRIu64
                         " objects that cover more than %" PRIu64 " of its cells\n",
                         l.cellSeconds, l.tooLarge, kMaxCellsPerObject);
    std::fprintf(out, "wrote %s: %zu levels, %" PRIu64 " blocks, %" PRIu64 " bytes in %.2f s\n",
                 s.output.c_str(), s.levels.size(), blocks, s.bytes, s.seconds);
    if (s.roads) printRoadGraphSummary(out, *s.roads);
}

} // namespace tevo::tvmc
