#include "tools/tvmc/summary.hpp"

#include <array>
#include <cinttypes>

namespace tevo::tvmc {

namespace {

double megabytes(uint64_t bytes) {
    return static_cast<double>(bytes) / 1e6;
}

// Where the bytes of the map go, by level and kind of record.
void printBytes(std::FILE* out, const CompileSummary& s) {
    std::fprintf(out, "%7s %9s %9s %9s %9s %9s %9s %9s\n", "MB", "POIs", "polylines", "polygons",
                 "buildings", "blocks", "total", "(names)");
    std::array<uint64_t, kMapKindCount + 3> sums{};
    for (const LevelStats& l : s.levels) {
        uint64_t total = l.blockBytes;
        for (int k = 0; k < kMapKindCount; ++k) {
            sums[static_cast<std::size_t>(k)] += l.bytes[static_cast<std::size_t>(k)];
            total += l.bytes[static_cast<std::size_t>(k)];
        }
        sums[kMapKindCount] += l.blockBytes;
        sums[kMapKindCount + 1] += total;
        sums[kMapKindCount + 2] += l.names;
        std::fprintf(out, "%6u\" %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f %9.2f\n", l.cellSeconds,
                     megabytes(l.bytes[0]), megabytes(l.bytes[1]), megabytes(l.bytes[2]),
                     megabytes(l.bytes[3]), megabytes(l.blockBytes), megabytes(total),
                     megabytes(l.names));
    }
    std::fprintf(out, "%7s", "all");
    for (uint64_t v : sums) std::fprintf(out, " %9.2f", megabytes(v));
    std::fputc('\n', out);
}

} // namespace

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
    std::fprintf(out, "%7s %7s %9s %9s %9s %9s %9s\n", "cell\"", "cells", "POIs", "polylines",
                 "polygons", "buildings", "points");
    uint64_t blocks = 0;
    for (const LevelStats& l : s.levels) {
        std::fprintf(out,
                     "%7u %7" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64 " %9" PRIu64
                     " %9" PRIu64 "\n",
                     l.cellSeconds, l.cells, l.records[0], l.records[1], l.records[2] - l.buildings,
                     l.buildings, l.points);
        blocks += l.cells;
    }
    printBytes(out, s);
    for (const LevelStats& l : s.levels)
        if (l.tooLarge > 0)
            std::fprintf(out,
                         "left out of the %u\" level: %" PRIu64
                         " objects that cover more than %" PRIu64 " of its cells\n",
                         l.cellSeconds, l.tooLarge, kMaxCellsPerObject);
    std::fprintf(out, "wrote %s: %zu levels, %" PRIu64 " blocks, %" PRIu64 " bytes in %.2f s\n",
                 s.output.c_str(), s.levels.size(), blocks, s.bytes, s.seconds);
    std::fprintf(out,
                 "memory: %" PRIu64 " MB at the peak (bound %" PRIu64
                 " MB); node locations %" PRIu64 " MB %s; cell records sorted %s",
                 s.peakMemory >> 20, s.memoryBound >> 20, s.read.locationBytes >> 20,
                 s.read.locationsOnDisk ? "on disk" : "in memory",
                 s.sortRuns > 0 ? "on disk in " : "in memory\n");
    if (s.sortRuns > 0) std::fprintf(out, "%zu runs\n", s.sortRuns);
    if (s.names) printNameIndexSummary(out, *s.names, s.bytes);
    if (s.roads) printRoadGraphSummary(out, *s.roads);
}

} // namespace tevo::tvmc
