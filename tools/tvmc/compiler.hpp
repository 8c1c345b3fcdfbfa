// The whole run of tvmc: read, assemble the levels, write, report.
#pragma once

#include "tools/tvmc/options.hpp"
#include "tools/tvmc/summary.hpp"

#include <string>

namespace tevo::tvmc {

// Compiles the inputs into options.output. Returns false with a message in
// *error; the output file is then left as it was.
bool compileMap(const Options& options, CompileSummary& summary, std::string* error);

} // namespace tevo::tvmc
