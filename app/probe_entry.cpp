#include "app/probe_entry.hpp"

#include "platform/paths.hpp"

#include <cstring>

namespace tevo {

namespace {

// Set once main has looked for the trial argument. A process whose main
// does not (a test program calling startUp) would answer a trial by running
// itself in full, so it gets no probe.
bool gAnswersTrials = false;

} // namespace

std::optional<int> runProbeIfAsked(int argc, char** argv) {
    gAnswersTrials = true;
    constexpr int kProbeArgc = 3; // program, kProbeArgument, library path
    if (argc != kProbeArgc || std::strcmp(argv[1], kProbeArgument) != 0) return std::nullopt;
    return runPluginProbe(argv[2]);
}

std::unique_ptr<cPluginProbe> makePluginProbe() {
    if (!gAnswersTrials) return nullptr;
    const std::string program = executablePath();
    return std::make_unique<cProcessProbe>(program.empty() ? "/proc/self/exe" : program);
}

} // namespace tevo
