// Tries a plug-in's start in a process of its own before the navigator loads
// it: a PluginInit that crashes or never returns would otherwise take the
// whole program with it, silently or at the splash.
#pragma once

#include <memory>
#include <string>

namespace tevo {

// What became of one trial start.
enum class ProbeResult {
    Passed,  // PluginInit and PluginDeInit returned (or the library could not
             // even be loaded: the real load reports that itself)
    Crashed, // the trial process died inside the plug-in
    Hung,    // the trial process did not finish in time and was killed
};

class cPluginProbe {
public:
    virtual ~cPluginProbe() = default;
    virtual ProbeResult probe(const std::string& libraryPath) = 0;
};

// Runs `program kProbeArgument libraryPath` and judges its end. The program
// must answer that argument with runPluginProbe before it does anything else.
class cProcessProbe : public cPluginProbe {
public:
    // Long enough for a slow disk and a sanitizer build, short enough that a
    // hanging plug-in costs one wait at the splash.
    static constexpr int kTimeLimitMs = 5000;

    explicit cProcessProbe(std::string program, int timeLimitMs = kTimeLimitMs);
    ProbeResult probe(const std::string& libraryPath) override;

private:
    std::string program_;
    int timeLimitMs_;
};

// The hidden command-line argument that starts a trial.
inline constexpr const char* kProbeArgument = "--probe-plugin";

// Exit codes of a trial process: every other end means the plug-in broke it.
inline constexpr int kProbePassed = 0;
inline constexpr int kProbeNotLoaded = 3;

// The trial itself, in the process started for it: loads the library, calls
// PluginInit with its path and PluginDeInit, unloads it. kProbePassed, or
// kProbeNotLoaded when the library or its PluginInit is missing.
int runPluginProbe(const std::string& libraryPath);

} // namespace tevo
