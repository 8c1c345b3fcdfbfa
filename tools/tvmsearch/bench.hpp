// tvmsearch --bench: how long a keystroke's hits take on an index.
//
// The prefixes are the first one to eight characters (as stored, with their
// case and accents) of names spread evenly over the index. Each is searched
// anew, as after a jump in the typed text; a tenth of the names are also
// typed key by key, where each key narrows the last search. A plain scan
// that folds every name of the index for each prefix is the reference,
// measured in the same run. Figures are milliseconds a keystroke, the
// median of the rounds' medians (and 90th percentiles and maxima).
#pragma once

#include "search/name_index.hpp"

#include <cstddef>
#include <string>

namespace tevo::search {

struct BenchOptions {
    std::size_t prefixes = 1000;
    std::size_t rounds = 3;
};

// Prints the figures; the exit code.
int runBench(const cNameIndex& index, const std::string& indexPath, const BenchOptions& options);

} // namespace tevo::search
