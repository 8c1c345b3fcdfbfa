// The name index of a compile run: after the read, the towns are found, the
// streets merged and the file written beside the map (docs/search-file.md).
#pragma once

#include "search/name_kind.hpp"
#include "tools/tvmc/name_index/name_store.hpp"

#include <cstdint>
#include <cstdio>
#include <string>

namespace tevo::tvmc {

struct NameIndexSummary {
    std::string path;
    uint64_t entries[search::kNameKindCount] = {}; // by kind
    uint64_t streetPieces = 0;                     // named ways the streets came from
    uint64_t withTown = 0;                         // entries with a town
    uint64_t records = 0;                          // named objects collected
    uint64_t texts = 0;                            // distinct name texts among them
    uint64_t memory = 0;                           // bytes they took
    uint64_t bytes = 0;                            // size of the file
    double seconds = 0;                            // towns, streets, encoding and writing
};

// The index beside a map: its name with .tvn for the ending .tvm, or with
// .tvn appended when it has another ending.
std::string nameIndexPath(const std::string& mapPath);

// The index file's bytes, built after the read: the towns found, the
// streets merged. The store is emptied. Empty when the file would exceed
// 4 GiB.
std::string buildNameIndex(NameStore& store, NameIndexSummary& summary);

// Writes the bytes to `path` through a new file renamed over the name when
// complete, after the map. False with a message in *error.
bool writeNameIndex(const std::string& bytes, const std::string& path, NameIndexSummary& summary,
                    std::string* error);

// The summary's lines; mapBytes is the map's size, which the index is
// measured against.
void printNameIndexSummary(std::FILE* out, const NameIndexSummary& summary, uint64_t mapBytes);

} // namespace tevo::tvmc
