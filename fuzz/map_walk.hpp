// Reading a whole map back, shared by the map file and map compiler targets.
#pragma once

#include "fuzz/fuzz_support.hpp"
#include "map/map_file.hpp"

#include <cstdint>

namespace tevo::fuzz {

// Reads every block of every index block by key, as the cache looks them up,
// and returns a sum over their objects.
int64_t readEveryBlock(cMapFile& map);

// Walks the block cache over `steps` footprints that follow from the seed:
// from a fraction of a cell to many times the world, turned, inside the map
// or far from it, on levels picked at random. Traps when a cache holds a cell
// twice.
int64_t walkCache(cMapFile& map, uint64_t seed, int steps);

} // namespace tevo::fuzz
